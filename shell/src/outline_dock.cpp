#include "vork/shell/outline_dock.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSet>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace vork::shell {

namespace {

constexpr int kLineRole = Qt::UserRole;
constexpr int kColumnRole = Qt::UserRole + 1;

// A rebuild keeps what the user opened and closed: the key of an item is
// its group's caption and its own text.
QString keyOf(const QTreeWidgetItem* item)
{
    QString key;
    for (const QTreeWidgetItem* i = item; i; i = i->parent())
        key.prepend(i->text(0) + QLatin1Char('\n'));
    return key;
}

} // namespace

OutlineDock::OutlineDock(QWidget* parent) : QDockWidget(QString::fromUtf8("Prehľad"), parent)
{
    setObjectName(QStringLiteral("Prehlad"));
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("PrehladStrom"));
    tree_->setHeaderHidden(true);
    tree_->setColumnCount(1);
    tree_->setUniformRowHeights(true);
    tree_->setExpandsOnDoubleClick(true);
    setWidget(tree_);

    delay_ = new QTimer(this);
    delay_->setSingleShot(true);
    delay_->setInterval(kDelayMs);
    connect(delay_, &QTimer::timeout, this, &OutlineDock::refresh);
    connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { choose(item); });
    connect(tree_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { choose(item); });
}

void OutlineDock::setSource(QPlainTextEdit* editor, const QString& fileName)
{
    if (editor == editor_ && fileName == fileName_) {
        refresh();
        return;
    }
    disconnect(watching_);
    editor_ = editor;
    fileName_ = fileName;
    if (editor_)
        watching_ = connect(editor_->document(), &QTextDocument::contentsChanged, this, &OutlineDock::textChanged);
    // Another page's outline starts as it was never opened.
    tree_->clear();
    refresh();
}

void OutlineDock::textChanged()
{
    // A hidden dock does no work while the user types; it catches up when
    // it is shown.
    if (isHidden()) {
        stale_ = true;
        return;
    }
    delay_->start();
}

bool OutlineDock::refreshPending() const
{
    return delay_->isActive();
}

void OutlineDock::showEvent(QShowEvent* event)
{
    QDockWidget::showEvent(event);
    if (stale_)
        refresh();
}

void OutlineDock::refresh()
{
    delay_->stop();
    if (isHidden()) {
        stale_ = true;
        return;
    }
    stale_ = false;
    const SpecKind kind = editor_ ? specKindOf(fileName_) : SpecKind::None;
    fill(kind == SpecKind::None ? std::vector<OutlineGroup>() : buildOutline(kind, editor_->toPlainText()));
}

void OutlineDock::fill(const std::vector<OutlineGroup>& groups)
{
    // What was open or closed, and where the list was scrolled to.
    QSet<QString> expanded, collapsed;
    for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
        if ((*it)->childCount() == 0)
            continue;
        ((*it)->isExpanded() ? expanded : collapsed).insert(keyOf(*it));
    }
    const int scrolled = tree_->verticalScrollBar()->value();

    tree_->setUpdatesEnabled(false);
    tree_->clear();
    // Items are built apart from the tree and handed to it whole: one
    // insertion for the view instead of one per item.
    auto itemOf = [](const OutlineEntry& e) {
        auto* item = new QTreeWidgetItem(QStringList(e.text));
        item->setData(0, kLineRole, e.line);
        item->setData(0, kColumnRole, e.column);
        item->setToolTip(0, e.toolTip.isEmpty() ? e.text : e.toolTip);
        if (!e.defined) {
            QFont italic = item->font(0);
            italic.setItalic(true);
            item->setFont(0, italic);
        }
        return item;
    };
    QList<QTreeWidgetItem*> top;
    for (const OutlineGroup& g : groups) {
        auto* group = new QTreeWidgetItem(QStringList(g.title));
        QFont bold = group->font(0);
        bold.setBold(true);
        group->setFont(0, bold);
        group->setFlags(Qt::ItemIsEnabled);
        QList<QTreeWidgetItem*> entries;
        for (const OutlineEntry& e : g.entries) {
            QTreeWidgetItem* item = itemOf(e);
            QList<QTreeWidgetItem*> alternatives;
            for (const OutlineEntry& alt : e.children)
                alternatives << itemOf(alt);
            item->addChildren(alternatives);
            entries << item;
        }
        group->addChildren(entries);
        top << group;
    }
    tree_->addTopLevelItems(top);
    // Alternatives stay folded until the user opens them.
    for (QTreeWidgetItem* group : top) {
        group->setExpanded(!collapsed.contains(keyOf(group)));
        for (int i = 0; i < group->childCount(); ++i) {
            QTreeWidgetItem* item = group->child(i);
            if (item->childCount() > 0 && expanded.contains(keyOf(item)))
                item->setExpanded(true);
        }
    }
    tree_->setUpdatesEnabled(true);
    tree_->verticalScrollBar()->setValue(scrolled);
}

void OutlineDock::choose(QTreeWidgetItem* item)
{
    if (!item || !item->data(0, kLineRole).isValid())
        return;
    emit placeChosen(item->data(0, kLineRole).toInt(), item->data(0, kColumnRole).toInt());
}

QTreeWidgetItem* OutlineDock::findItem(const QString& group, const QString& text) const
{
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* g = tree_->topLevelItem(i);
        if (g->text(0) != group)
            continue;
        if (text.isEmpty())
            return g;
        for (int k = 0; k < g->childCount(); ++k)
            if (g->child(k)->text(0) == text)
                return g->child(k);
        return nullptr;
    }
    return nullptr;
}

} // namespace vork::shell
