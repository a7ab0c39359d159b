// TStranka: one open text file in a tab of the window's page control, with
// its editor, its file name and its own find and replace dialogs.
#pragma once

#include "vork/shell/find_dialogs.h"
#include "vork/shell/prompter.h"

#include <QByteArray>
#include <QFont>
#include <QPlainTextEdit>
#include <QString>
#include <QTabWidget>
#include <QWidget>

namespace vork::shell {

// A file's bytes as the editor holds them, and what is needed to write the
// same bytes back.
//
// Files are byte strings.  Valid UTF-8 is shown as such; anything else is
// read byte for byte as Windows-1250 (the code page the system's Slovak
// files were written in), so that every byte has a character and comes
// back unchanged.  Line ends become the editor's line breaks and are
// written in the file's own convention (that of its first line end; LF for
// a file without any).  A carriage return that is not part of that
// convention's line end is kept as the character U+F70D, which the editor
// would otherwise turn into a line break.
struct FileText {
    enum class Encoding { Utf8, Windows1250 };
    enum class LineEnd { Lf, CrLf };

    QString text; // lines separated by '\n'
    Encoding encoding = Encoding::Utf8;
    LineEnd lineEnd = LineEnd::Lf;
    bool byteOrderMark = false; // UTF-8 with EF BB BF in front
};

// The character a stray carriage return is kept as.
constexpr char16_t kStrayCarriageReturn = 0xF70D;

FileText decodeFileText(const QByteArray& bytes);
// text's line breaks may be '\n' or U+2029 (the editor's).  False, with
// *error saying which character, when text holds a character the file's
// encoding has no byte for.
bool encodeFileText(const QString& text, const FileText& format, QByteArray* out, QString* error);

// "\t[" line " : " column "]", both counted from 1.
QString caretPositionText(int line, int column);

class TStranka : public QWidget {
    Q_OBJECT
public:
    // The owner is the window's page control: the page appends itself as
    // its last tab (it does not select itself).  A null owner is a
    // programming error: "Chybné použitie triedy TStranka !" is shown and
    // the program ends.
    TStranka(QTabWidget* owner, Prompter& prompter, const QFont& font);
    ~TStranka() override;

    void setFileName(const QString& name);
    const QString& fileName() const { return fileName_; }
    QPlainTextEdit* editor() const { return editor_; }

    // Reads the whole file into the editor; caret at the start; modified
    // flag cleared.  False with *error = the failure's own text.
    bool load(QString* error);
    // Writes the whole text atomically.  On failure the user is asked
    // whether to see why; the modified flag stays set and the old file is
    // intact.  Returns success.
    bool save();
    // The same without asking: false with *error = the failure's text.
    bool writeFile(QString* error);

    // The file was written by someone else since this page read or wrote
    // it.
    bool changedOnDisk() const;
    // Reads the file again; the caret stays on its line.
    bool reload(QString* error);
    // The user keeps this page's text over the file's new one: the file as
    // it is now counts as seen.
    void keepOwnVersion();

    bool isModified() const;
    QString caretText() const;    // status panel 0
    QString modifiedText() const; // status panel 1: "Modifikovaný" or ""

    void find();
    void replace();
    // Forwards only; on failure "Koniec súboru." and the caret goes to the
    // start.  True when a match is now selected.
    bool findNext(const QString& text, bool matchCase, bool wholeWord);
    // One replace step, or replace-all ending with one "Koniec súboru.".
    // Only a selection that is itself a match is replaced.
    void replaceNext(const QString& text, const QString& replacement, bool matchCase, bool wholeWord, bool all);

    // Before the page is destroyed: when modified, asks whether to save and
    // on Yes saves.  False when the user cancelled, or chose Yes and the
    // save failed: the page stays.
    bool confirmDiscard();

    FindDialog* findDialog() const { return findDialog_; }
    ReplaceDialog* replaceDialog() const { return replaceDialog_; }

    // The editor's whole text with U+2029 between lines, in the editor's
    // positions.
    QString documentText() const;

    // Gives the editor the focus with the caret at a 0-based line and
    // character column, shown in the middle of the page.  A line past the
    // end is the last line, a column past the line's end its end.
    void placeCaret(int line, int column);
    // "Go to definition" of the name at the caret, on a grammar or scanner
    // page: the caret goes to where it is defined.  Empty when it went
    // there or the page is neither, else the status bar's text saying why
    // it did not move.
    QString goToDefinition();

signals:
    void caretChanged();
    void modifiedChanged(bool modified);
    void textEdited(int blockNumber);

private:
    void onContentsChange(int position, int removed, int added);
    void showNotFound();
    void refreshTabText();
    void primeDialog(FindDialog* dialog);

    QTabWidget* owner_;
    Prompter& prompter_;
    QString fileName_;
    QPlainTextEdit* editor_;
    FindDialog* findDialog_;
    ReplaceDialog* replaceDialog_;
    struct DiskStamp {
        bool known = false;
        long long seconds = 0, nanoseconds = 0, size = 0;
        unsigned long long inode = 0;
        bool operator==(const DiskStamp& o) const
        {
            return known == o.known && seconds == o.seconds && nanoseconds == o.nanoseconds && size == o.size &&
                   inode == o.inode;
        }
    };
    static DiskStamp stampOf(const QString& fileName);

    FileText format_;        // the loaded file's encoding and line ends
    DiskStamp diskStamp_;    // the file as this page last read or wrote it
    bool loading_ = false; // change notifications are off during load
};

} // namespace vork::shell
