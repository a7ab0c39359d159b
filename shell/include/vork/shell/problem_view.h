// ProblemView: the "Chyby" tab over the problem list.  Every problem of the
// last build becomes one item of the list widget; the two counters count
// all of them, and each page's editor gets a margin mark on its problems'
// lines.
#pragma once

#include "vork/project/problems.h"
#include "vork/shell/code_editor.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <map>

class QLabel;
class QListWidget;

namespace vork::shell {

// The character index in line of a compiler's column (1-based).  The
// compiler counts display columns: a tab goes on to the next multiple of
// eight.  A column past the line's end gives the line's length.
int characterIndexOfColumn(const QString& line, int column);

// Where the caret goes on a problem's line.  An action copied from the
// grammar is compiled with $$ and $1 rewritten, so the compiler's column
// counts a text that differs from the line: when the message quotes a name
// that is on the line but not at the column, the caret goes to that name.
int problemCharacterIndex(const QString& line, int column, const QString& message);

class ProblemView : public QObject {
    Q_OBJECT
public:
    ProblemView(QListWidget* list, QLabel* errors, QLabel* warnings, QObject* parent = nullptr);

    // A build starts: no problems, counters "0".
    void clear();
    // The panel's "clear": the items go, the counters stay.
    void clearItems();
    void add(const vork::Problem& problem);
    // Tells the pages now of what add() gathered, at the end of a batch
    // (a generator step, the compiler's output), so that a build that has
    // ended never leaves its marks waiting for the event loop.
    void settle();
    const vork::ProblemList& problems() const { return list_; }
    // The problem of a list row, or null.
    const vork::Problem* at(int row) const;

    // The margin marks of a file's page, by line.
    std::map<int, CodeEditor::Mark> marksFor(const QString& fileName) const;

signals:
    // Once after a run of changes, when the event loop comes back: a build
    // adds its problems one by one, hundreds of conflicts among them, and
    // every page's marks are made anew from the whole list.
    void changed();

private:
    QListWidget* view_;
    QLabel* errors_;
    QLabel* warnings_;
    vork::ProblemList list_;
    QTimer changedSoon_;
};

} // namespace vork::shell
