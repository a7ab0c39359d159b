// CodeEditor: the plain-text editor of a page with what programmers expect
// of one: a margin with line numbers and the marks of the last build's
// problems (hovering a mark shows its messages), the caret's line shaded,
// the bracket matching the one at the caret marked, and a new line indented
// as the one it was started from.  Ctrl+click asks for the definition of
// the name clicked.
#pragma once

#include <QPlainTextEdit>
#include <QString>

#include <map>

namespace vork::shell {

class CodeEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    struct Mark {
        bool error = false;  // an error outweighs warnings on the same line
        QString message;     // every problem of the line, one per text line
    };

    explicit CodeEditor(QWidget* parent = nullptr);

    // The problems' marks by 1-based line; replaces the earlier ones.
    void setMarks(std::map<int, Mark> marks);
    const std::map<int, Mark>& marks() const { return marks_; }
    // The message of the mark on the margin at y (viewport coordinates),
    // empty when there is none; what the margin's tooltip shows.
    QString markMessageAt(int y) const;
    // The 1-based line shown at y (viewport coordinates), or 0.
    int lineAt(int y) const;

    QWidget* margin() const { return margin_; }
    int marginWidth() const;
    // The positions of the matched bracket pair around the caret, or -1.
    int matchedBracket() const { return matched_.second; }

signals:
    // Ctrl+click: the caret is now on the name clicked, whose definition
    // is wanted.
    void definitionRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    friend class EditorMargin;
    void paintMargin(QPaintEvent* event);
    void updateMarginArea(const QRect& rect, int dy);
    void refreshHighlights();

    QWidget* margin_;
    std::map<int, Mark> marks_;
    std::pair<int, int> matched_{-1, -1};
};

// The bracket matching the one at position (forward for an opening bracket,
// backward for a closing one), or -1.  Brackets inside the text between are
// counted, quotes are not looked at.
int matchingBracket(const QString& text, int position);

} // namespace vork::shell
