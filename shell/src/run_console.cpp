#include "vork/shell/run_console.h"

#include "list_lines.h"
#include "vork/project/build_texts.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>

namespace vork::shell {

RunConsole::RunConsole(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    list_ = new QListWidget;
    list_->setObjectName("TaskListExe");
    layout->addWidget(list_);
    auto* inputRow = new QHBoxLayout;
    input_ = new QLineEdit;
    input_->setObjectName("ExeInput");
    input_->setPlaceholderText(QStringLiteral("Vstup pre spustený prekladač (Enter pošle riadok)"));
    input_->setEnabled(false);
    endInput_ = new QPushButton(QStringLiteral("Koniec vstupu"));
    endInput_->setObjectName("ExeEndInput");
    endInput_->setToolTip(QStringLiteral("Ctrl+D"));
    endInput_->setEnabled(false);
    inputRow->addWidget(input_, 1);
    inputRow->addWidget(endInput_);
    layout->addLayout(inputRow);

    connect(input_, &QLineEdit::returnPressed, this, [this] {
        const QString line = input_->text();
        input_->clear();
        emit lineEntered(line);
    });
    auto endInput = [this] {
        setInputEnabled(false);
        emit inputEnded();
    };
    connect(endInput_, &QPushButton::clicked, this, endInput);
    auto* ctrlD = new QShortcut(QKeySequence(QStringLiteral("Ctrl+D")), input_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(ctrlD, &QShortcut::activated, this, endInput);

    flushTimer_.setSingleShot(true);
    connect(&flushTimer_, &QTimer::timeout, this, [this] { flush(kLineBatch); });
}

void RunConsole::setInputEnabled(bool on)
{
    input_->setEnabled(on);
    endInput_->setEnabled(on);
}

void RunConsole::addLine(const QString& line)
{
    list_->addItem(lineItem(line, list_->fontMetrics()));
    scrollSoon();
}

void RunConsole::replaceLines(const std::vector<std::string>& lines)
{
    list_->clear();
    droppedNotice_ = false;
    const QFontMetrics fm = list_->fontMetrics();
    for (const std::string& line : lines)
        list_->addItem(lineItem(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())), fm));
    scrollSoon();
}

void RunConsole::markCompilerLines()
{
    compilerLines_ = list_->count();
    droppedNotice_ = false;
}

std::vector<std::string> RunConsole::compilerLines() const
{
    std::vector<std::string> out;
    const int n = std::min(compilerLines_, list_->count());
    for (int i = 0; i < n; ++i)
        out.push_back(list_->item(i)->text().toStdString());
    return out;
}

void RunConsole::beginRun()
{
    compilerLines_ = std::min(compilerLines_, list_->count());
    if (list_->count() > compilerLines_)
        list_->model()->removeRows(compilerLines_, list_->count() - compilerLines_);
    pending_.clear();
    flushTimer_.stop();
    dropped_ = 0;
    droppedNotice_ = false;
}

void RunConsole::addRunLine(const QString& line)
{
    // Only the newest lines can ever be shown: older pending ones go now,
    // so a program that writes without end costs bounded memory.
    if (pending_.size() >= kLineLimit) {
        pending_.removeFirst();
        ++dropped_;
    }
    pending_.append(line);
    if (!flushTimer_.isActive())
        flushTimer_.start(kFlushMs);
}

void RunConsole::echo(const QString& line)
{
    pending_.append(line);
    flush(kLineLimit);
}

void RunConsole::runEnded()
{
    if (!pending_.isEmpty() && !flushTimer_.isActive())
        flushTimer_.start(0);
}

void RunConsole::clear()
{
    list_->clear();
    compilerLines_ = 0;
    droppedNotice_ = false;
}

void RunConsole::flush(int most)
{
    flushTimer_.stop();
    if (pending_.isEmpty())
        return;
    const int take = std::min(most, static_cast<int>(pending_.size()));
    // "Vymazat správy" may have emptied the list meanwhile.
    if (compilerLines_ > list_->count() || (droppedNotice_ && compilerLines_ >= list_->count())) {
        compilerLines_ = std::min(compilerLines_, list_->count());
        droppedNotice_ = false;
    }
    const int first = compilerLines_ + (droppedNotice_ ? 1 : 0);
    const int shown = list_->count() - first;
    const int excess = shown + take - kLineLimit;
    if (excess > 0) {
        list_->model()->removeRows(first, std::min(excess, shown));
        dropped_ += std::min(excess, shown);
    }
    const QFontMetrics fm = list_->fontMetrics();
    if (dropped_ > 0) {
        const QString notice = QString::fromUtf8(texts::kDroppedHead) + QString::number(dropped_) +
                               QString::fromUtf8(texts::kDroppedTail);
        if (!droppedNotice_) {
            list_->insertItem(compilerLines_, lineItem(notice, fm));
            droppedNotice_ = true;
        } else {
            list_->item(compilerLines_)->setText(notice);
        }
    }
    for (int i = 0; i < take; ++i)
        list_->addItem(lineItem(pending_.at(i), fm));
    pending_.erase(pending_.begin(), pending_.begin() + take);
    if (!pending_.isEmpty())
        flushTimer_.start(0);
    scrollSoon();
}

void RunConsole::scrollSoon()
{
    scrollToBottomSoon(this, list_, scrollPending_);
}

} // namespace vork::shell
