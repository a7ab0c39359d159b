// The page's find and replace dialogs, and the search they drive.
//
// The search itself is a plain function over the page's text so that the
// rules (forwards only, match case, whole words, what replace-all visits)
// can be checked without any widget.
#pragma once

#include <QDialog>
#include <QString>
#include <QVector>

class QCheckBox;
class QGridLayout;
class QVBoxLayout;
class QLineEdit;
class QPushButton;

namespace vork::shell {

struct SearchOptions {
    bool matchCase = false;
    bool wholeWord = false;
};

// Letters, digits and '_' make up words for the whole-word search.
bool isWordChar(QChar c);

// Whether pattern occurs in text at position at.  before, when given,
// stands for the character in front of at (replace-all asks about a text
// whose part before at has already been replaced); a null QChar means the
// start of the text.
bool matchesAt(const QString& text, const QString& pattern, int at, SearchOptions options,
               const QChar* before = nullptr);

// The first match at or after from, or -1.  An empty pattern matches
// nothing: a zero-length match would select nothing, and replace-all would
// never get past it.
int findForward(const QString& text, const QString& pattern, int from, SearchOptions options,
                const QChar* beforeFrom = nullptr);

// Where replace-all replaces, as positions in text (before any
// replacement), in order.  It is the page's loop run on the text alone:
// the selection [selectionStart, selectionEnd) is replaced first when it
// is itself a match; the search then goes on after each replacement, and
// a match next to a replacement is judged (whole word) by the replaced
// text.  With a selection that is no match, the search starts one
// character after its start; without a selection, at selectionStart.
QVector<int> replaceAllPositions(const QString& text, const QString& pattern, const QString& replacement,
                                 int selectionStart, int selectionEnd, SearchOptions options);

// Non-modal: the search text, the two options and "find next".
class FindDialog : public QDialog {
    Q_OBJECT
public:
    explicit FindDialog(QWidget* parent = nullptr);

    QString searchText() const;
    void setSearchText(const QString& text);
    SearchOptions options() const;

    QLineEdit* hladanyText;
    QCheckBox* velkePismena; // "Rozlišovať veľké a malé písmená"
    QCheckBox* celeSlova;    // "Len celé slová"
    QPushButton* hladatDalej;
    QPushButton* zavriet;

signals:
    void findNextRequested();

protected:
    // The form: search text in row 0, row 1 left for the replacement, the
    // options below; the buttons in a column on the right.
    QGridLayout* form_;
    QVBoxLayout* buttons_;
};

class ReplaceDialog : public FindDialog {
    Q_OBJECT
public:
    explicit ReplaceDialog(QWidget* parent = nullptr);

    QString replacementText() const;

    QLineEdit* nahraditText;
    QPushButton* nahradit;
    QPushButton* nahraditVsetko;

signals:
    void replaceRequested(bool all);
};

} // namespace vork::shell
