// RunConsole: the "Exe prekladač" page.  Above, the C compiler's lines;
// below them, what the generated compiler writes while it runs, and a line
// to type its input into.
//
// A program may write far faster than a list can show lines, and without
// end: its lines wait in a buffer of at most kLineLimit and move into the
// list in batches, one layout and one repaint for many lines.  The list
// keeps the newest kLineLimit lines of a run; a line above them says how
// many gave way.
#pragma once

#include <QStringList>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace vork::shell {

class RunConsole : public QWidget {
    Q_OBJECT
public:
    static constexpr int kLineLimit = 10000;
    static constexpr int kFlushMs = 40;
    // Lines moved into the list at one turn of the event loop.
    static constexpr int kLineBatch = 2000;

    explicit RunConsole(QWidget* parent = nullptr);

    QListWidget* list() const { return list_; }
    QLineEdit* input() const { return input_; }
    QPushButton* endInputButton() const { return endInput_; }

    // Typing for the running program, and its "Koniec vstupu".
    void setInputEnabled(bool on);

    // A line of the runner's own (a compiler's failure, a start that
    // failed), shown at once.
    void addLine(const QString& line);
    // The whole list becomes these lines (a compiler's captured output).
    void replaceLines(const std::vector<std::string>& lines);
    // The lines shown now are the compiler's: they stay above every run's.
    void markCompilerLines();
    // The compiler's lines, as shown.
    std::vector<std::string> compilerLines() const;

    // A run begins: an earlier run's lines give way to this one's.
    void beginRun();
    // A line the program wrote: shown with the next batch.
    void addRunLine(const QString& line);
    // A typed line, shown where a console would echo it: after everything
    // the program wrote before.
    void echo(const QString& line);
    // The run has ended: what is still pending follows in batches.
    void runEnded();

    // "Vymazat správy": the list is emptied, also of the compiler's lines.
    void clear();

    long long droppedLines() const { return dropped_; }
    bool pending() const { return !pending_.isEmpty(); }

signals:
    // Enter in the input line: the typed text.
    void lineEntered(const QString& line);
    // "Koniec vstupu" or Ctrl+D.
    void inputEnded();

private:
    // Moves the oldest pending lines, at most `most`, into the list in one
    // batch; the rest follow from the event loop.
    void flush(int most);
    void scrollSoon();

    QListWidget* list_;
    QLineEdit* input_;
    QPushButton* endInput_;
    // The list's lines of the C compiler; a run's output follows them.
    int compilerLines_ = 0;
    // A run's lines not yet shown, at most kLineLimit of them.
    QStringList pending_;
    QTimer flushTimer_;
    long long dropped_ = 0;
    // Row compilerLines_ is the line that counts the dropped ones.
    bool droppedNotice_ = false;
    bool scrollPending_ = false;
};

} // namespace vork::shell
