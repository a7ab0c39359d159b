// OutlineDock: "Prehľad", the dock that lists the rules and tokens of the
// active grammar page, or the start conditions and definitions of the
// active scanner page, grouped by kind in the order of the file.  It
// follows the page's text a moment after typing stops; choosing an entry
// asks for the caret to go there.
#pragma once

#include "vork/shell/grammar_outline.h"

#include <QDockWidget>
#include <QMetaObject>
#include <QPointer>
#include <QString>

class QPlainTextEdit;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace vork::shell {

class OutlineDock : public QDockWidget {
    Q_OBJECT
public:
    // Typing restarts this wait; the outline is rebuilt when it runs out.
    static constexpr int kDelayMs = 300;

    explicit OutlineDock(QWidget* parent = nullptr);

    // The page shown: its editor and its file name, which says what kind of
    // text it holds.  A null editor empties the outline.  The same page
    // again is outlined anew.
    void setSource(QPlainTextEdit* editor, const QString& fileName);
    // Rebuilds the outline from the editor's text now, or when the dock is
    // next shown if it is hidden.
    void refresh();
    // A rebuild is waiting for typing to stop.
    bool refreshPending() const;

    QTreeWidget* tree() const { return tree_; }
    // The tree's item for a group's caption, or for the text of one of its
    // entries (not of their alternatives); null when there is none.
    QTreeWidgetItem* findItem(const QString& group, const QString& text = QString()) const;

signals:
    // An entry was clicked or activated: the 0-based line and character
    // column of its place.
    void placeChosen(int line, int column);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void textChanged();
    void choose(QTreeWidgetItem* item);
    void fill(const std::vector<OutlineGroup>& groups);

    QTreeWidget* tree_;
    QTimer* delay_;
    QPointer<QPlainTextEdit> editor_;
    QString fileName_;
    QMetaObject::Connection watching_;
    bool stale_ = false;  // the text changed while the dock was hidden
};

} // namespace vork::shell
