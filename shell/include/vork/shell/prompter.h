// Everything the window asks the user in a modal way: message boxes, the
// standard file and font dialogs, and running one of its own dialogs.
//
// The window and its pages never call QMessageBox or QFileDialog directly;
// they go through a Prompter.  The GUI uses the one that shows real modal
// boxes; the widget tests give scripted answers, so a command that asks a
// question can be driven to its end without a modal loop.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

namespace vork::shell {

class Prompter {
public:
    enum class Icon { None, Information, Warning, Error, Stop, Question };

    // What a standard file dialog is opened with.
    struct FileDialog {
        enum class Mode { Open, Save };
        Mode mode = Mode::Open;
        QString title;
        QStringList filters;      // "Popis (*.ext)" each; the first is selected
        QString defaultName;      // the suggested file name ("subor")
        QString defaultSuffix;    // without the dot ("ly"); empty for none
        QString directory;        // where it starts; empty: the current one
        bool mustExist = false;   // open: the file has to exist
        bool confirmOverwrite = false;
        bool executablesOnly = false; // list only files the user may run
    };

    virtual ~Prompter() = default;

    // A Yes/No question; true for Yes.
    virtual bool askYesNo(const QString& caption, const QString& text, Icon icon) = 0;
    enum class Answer { Yes, No, Cancel };
    // A Yes/No/Cancel question.  Without a Cancel of its own, a prompter
    // answers as its Yes/No question does.
    virtual Answer askYesNoCancel(const QString& caption, const QString& text, Icon icon)
    {
        return askYesNo(caption, text, icon) ? Answer::Yes : Answer::No;
    }
    // A whole number between min and max, starting at value; false for
    // Cancel.  A prompter that cannot ask answers Cancel.
    virtual bool askNumber(QWidget* /*parent*/, const QString& /*caption*/, const QString& /*label*/, int& /*value*/,
                           int /*min*/, int /*max*/)
    {
        return false;
    }
    // A message with an OK button.
    virtual void inform(const QString& caption, const QString& text, Icon icon) = 0;
    // The standard error box with a failure's own text ("Chcete vedieť viac ?").
    virtual void showErrorText(const QString& text) = 0;
    // A file dialog; the chosen path, or an empty string for Cancel.
    virtual QString chooseFile(QWidget* parent, const FileDialog& dialog) = 0;
    // The standard font dialog, starting at font (sizes from minSize up);
    // true with font changed on OK.
    virtual bool chooseFont(QWidget* parent, QFont& font, int minSize) = 0;
    // Runs one of the window's own modal dialogs; its result code
    // (QDialog::Accepted / Rejected).
    virtual int execDialog(QDialog& dialog) = 0;
};

// The real thing: QMessageBox, QFileDialog, QFontDialog, QDialog::exec().
class ModalPrompter : public Prompter {
public:
    explicit ModalPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    bool askYesNo(const QString& caption, const QString& text, Icon icon) override;
    Answer askYesNoCancel(const QString& caption, const QString& text, Icon icon) override;
    bool askNumber(QWidget* parent, const QString& caption, const QString& label, int& value, int min,
                   int max) override;
    void inform(const QString& caption, const QString& text, Icon icon) override;
    void showErrorText(const QString& text) override;
    QString chooseFile(QWidget* parent, const FileDialog& dialog) override;
    bool chooseFont(QWidget* parent, QFont& font, int minSize) override;
    int execDialog(QDialog& dialog) override;

private:
    QWidget* parent_;
};

} // namespace vork::shell
