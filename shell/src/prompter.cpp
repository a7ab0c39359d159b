#include "vork/shell/prompter.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QSortFilterProxyModel>

namespace vork::shell {

namespace {

QMessageBox::Icon boxIcon(Prompter::Icon icon)
{
    switch (icon) {
    case Prompter::Icon::Information:
        return QMessageBox::Information;
    case Prompter::Icon::Warning:
        return QMessageBox::Warning;
    case Prompter::Icon::Error:
    case Prompter::Icon::Stop:
        return QMessageBox::Critical;
    case Prompter::Icon::Question:
        return QMessageBox::Question;
    case Prompter::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// Hides the files the user may not run, so that "Programy" lists programs
// as the filter's name promises (Linux programs have no extension to
// filter by).  Directories stay so that the user can walk the tree.
class ExecutableFilter : public QSortFilterProxyModel {
public:
    // Only the first filter ("Programy") lists programs alone; "Všetky
    // súbory" shows everything.
    void setActive(bool on)
    {
        active_ = on;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override
    {
        if (!active_)
            return true;
        const QModelIndex index = sourceModel()->index(row, 0, parent);
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (!files)
            return true;
        const QFileInfo info = files->fileInfo(index);
        return info.isDir() || info.isExecutable();
    }

private:
    bool active_ = true;
};

} // namespace

bool ModalPrompter::askYesNo(const QString& caption, const QString& text, Icon icon)
{
    QMessageBox box(boxIcon(icon), caption, text, QMessageBox::Yes | QMessageBox::No, parent_);
    return box.exec() == QMessageBox::Yes;
}

Prompter::Answer ModalPrompter::askYesNoCancel(const QString& caption, const QString& text, Icon icon)
{
    QMessageBox box(boxIcon(icon), caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    const int r = box.exec();
    return r == QMessageBox::Yes ? Answer::Yes : r == QMessageBox::No ? Answer::No : Answer::Cancel;
}

bool ModalPrompter::askNumber(QWidget* parent, const QString& caption, const QString& label, int& value, int min,
                              int max)
{
    bool ok = false;
    const int n = QInputDialog::getInt(parent ? parent : parent_, caption, label, value, min, max, 1, &ok);
    if (ok)
        value = n;
    return ok;
}

void ModalPrompter::inform(const QString& caption, const QString& text, Icon icon)
{
    QMessageBox box(boxIcon(icon), caption, text, QMessageBox::Ok, parent_);
    box.exec();
}

void ModalPrompter::showErrorText(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Chyba"), text, QMessageBox::Ok, parent_);
    box.exec();
}

QString ModalPrompter::chooseFile(QWidget* parent, const FileDialog& d)
{
    QFileDialog dialog(parent ? parent : parent_, d.title, d.directory);
    dialog.setNameFilters(d.filters);
    dialog.setOption(QFileDialog::DontUseNativeDialog, d.executablesOnly);
    if (d.executablesOnly) {
        auto* programs = new ExecutableFilter;
        dialog.setProxyModel(programs);
        const QString first = d.filters.value(0);
        QObject::connect(&dialog, &QFileDialog::filterSelected, programs,
                         [programs, first](const QString& filter) { programs->setActive(filter == first); });
    }
    if (d.mode == FileDialog::Mode::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !d.confirmOverwrite);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(d.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    if (!d.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(d.defaultSuffix);
    if (!d.defaultName.isEmpty())
        dialog.selectFile(d.defaultName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

bool ModalPrompter::chooseFont(QWidget* parent, QFont& font, int minSize)
{
    (void)minSize; // QFontDialog offers its standard sizes, none below 6
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, parent ? parent : parent_);
    if (ok)
        font = chosen;
    return ok;
}

int ModalPrompter::execDialog(QDialog& dialog)
{
    return dialog.exec();
}

} // namespace vork::shell
