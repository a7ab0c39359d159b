#include "vork/shell/problem_view.h"

#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QStyle>

namespace vork::shell {

int characterIndexOfColumn(const QString& line, int column)
{
    int shown = 1;
    for (int i = 0; i < line.size(); ++i) {
        if (shown >= column)
            return i;
        shown = line.at(i) == QLatin1Char('\t') ? ((shown - 1) / 8 + 1) * 8 + 1 : shown + 1;
    }
    return static_cast<int>(line.size());
}

int problemCharacterIndex(const QString& line, int column, const QString& message)
{
    const int index = column > 0 ? characterIndexOfColumn(line, column) : 0;
    static const QRegularExpression quoted(QStringLiteral("[\u2018'\"]([A-Za-z_][A-Za-z0-9_]*)[\u2019'\"]"));
    const QRegularExpressionMatch m = quoted.match(message);
    if (!m.hasMatch())
        return index;
    const QString name = m.captured(1);
    if (line.mid(index, name.size()) == name)
        return index;
    // The name as a whole word on the line.
    const QRegularExpression word(QStringLiteral("\\b") + QRegularExpression::escape(name) + QStringLiteral("\\b"));
    const QRegularExpressionMatch w = word.match(line);
    return w.hasMatch() ? static_cast<int>(w.capturedStart()) : index;
}

ProblemView::ProblemView(QListWidget* list, QLabel* errors, QLabel* warnings, QObject* parent)
    : QObject(parent), view_(list), errors_(errors), warnings_(warnings)
{
    changedSoon_.setSingleShot(true);
    changedSoon_.setInterval(0);
    connect(&changedSoon_, &QTimer::timeout, this, &ProblemView::changed);
}

void ProblemView::clear()
{
    clearItems();
    errors_->setText(QStringLiteral("0"));
    warnings_->setText(QStringLiteral("0"));
}

void ProblemView::clearItems()
{
    view_->clear();
    list_.clear();
    // Emptied at once: nothing is left to gather.
    changedSoon_.stop();
    emit changed();
}

void ProblemView::add(const vork::Problem& problem)
{
    list_.add(problem);
    auto* item = new QListWidgetItem(QString::fromStdString(problem.item), view_);
    const bool error = problem.severity == vork::Problem::Severity::Error;
    item->setIcon(view_->style()->standardIcon(error ? QStyle::SP_MessageBoxCritical : QStyle::SP_MessageBoxWarning));
    if (!problem.file.empty())
        item->setToolTip(QString::fromStdString(problem.file));
    errors_->setText(QString::number(list_.errors()));
    warnings_->setText(QString::number(list_.warnings()));
    changedSoon_.start();
}

void ProblemView::settle()
{
    if (!changedSoon_.isActive())
        return;
    changedSoon_.stop();
    emit changed();
}

const vork::Problem* ProblemView::at(int row) const
{
    return row >= 0 && row < list_.size() ? &list_.at(row) : nullptr;
}

std::map<int, CodeEditor::Mark> ProblemView::marksFor(const QString& fileName) const
{
    std::map<int, CodeEditor::Mark> marks;
    for (const vork::Problem& p : list_.inFile(fileName.toStdString())) {
        if (p.line < 1)
            continue;
        CodeEditor::Mark& m = marks[p.line];
        m.error = m.error || p.severity == vork::Problem::Severity::Error;
        if (!m.message.isEmpty())
            m.message += QLatin1Char('\n');
        m.message += QString::fromStdString(p.text);
    }
    return marks;
}

} // namespace vork::shell
