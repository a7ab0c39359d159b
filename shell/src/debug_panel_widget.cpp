#include "vork/shell/debug_panel_widget.h"

#include "vork/project/atomic_file.h"
#include "vork/shell/prompter.h"

#include <QAbstractListModel>
#include <QColor>
#include <QFile>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMetaObject>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace vork::shell {

namespace dl = vork::debuglink;

namespace {

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

void setIfChanged(QLabel* label, const QString& text)
{
    if (label->text() != text)
        label->setText(text);
}

} // namespace

// The trace list's rows are record numbers of the run's history; a row's
// text is made only when the view draws it, so a long run costs four bytes
// a line and the list keeps up with the records.
class DebugPanelWidget::TraceModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : shown_;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !session_ || index.row() < 0 || index.row() >= shown_)
            return QVariant();
        const dl::Record r = session_->history().record(rows_.rows()[static_cast<size_t>(index.row())]);
        QString text = q(dl::traceLine(r, session_->names(), session_->panel().grammar()));
        text.replace(QLatin1Char('\t'), QStringLiteral("    "));
        return text;
    }

    // True when rows were added or the list was rebuilt.
    bool update(const dl::DebugSession& session, size_t count, const dl::TraceFilter& filter, bool newRun)
    {
        if (session_ != &session) {
            session_ = &session;
            newRun = true;
        }
        // The view asks for nothing until the signals below, and it sees
        // only the first shown_ rows, so the rows can grow in place.
        const dl::TraceRows::Change change = rows_.update(session.history(), count, filter, newRun);
        const int size = static_cast<int>(rows_.rows().size());
        if (change == dl::TraceRows::Change::Rebuilt) {
            beginResetModel();
            shown_ = size;
            endResetModel();
            return true;
        }
        if (change == dl::TraceRows::Change::Appended) {
            beginInsertRows(QModelIndex(), shown_, size - 1);
            shown_ = size;
            endInsertRows();
            return true;
        }
        return false;
    }

private:
    const dl::DebugSession* session_ = nullptr;
    dl::TraceRows rows_;
    int shown_ = 0;
};

DebugPanelWidget::DebugPanelWidget(QWidget* parent) : QWidget(parent)
{
    auto* grid = new QGridLayout;
    auto* label3 = new QLabel(QString::fromUtf8(dl::kLabelTokenCode));
    label3->setObjectName("Label3");
    Label2x = new QLabel;
    Label2x->setObjectName("Label2x");
    auto* label5 = new QLabel(QString::fromUtf8(dl::kLabelLexicalUnit));
    label5->setObjectName("Label5");
    Label6 = new QLabel;
    Label6->setObjectName("Label6");
    Label6->setTextFormat(Qt::PlainText);
    auto* label7 = new QLabel(QString::fromUtf8(dl::kLabelInputStream));
    label7->setObjectName("Label7");
    Label8 = new QLabel;
    Label8->setObjectName("Label8");
    Label8->setTextFormat(Qt::PlainText);
    TokenName = new QLabel;
    TokenName->setObjectName("TokenName");
    TokenName->setTextFormat(Qt::PlainText);
    auto* codeCell = new QHBoxLayout;
    codeCell->addWidget(Label2x);
    codeCell->addWidget(TokenName);
    codeCell->addStretch(1);
    grid->addWidget(label3, 0, 0);
    grid->addLayout(codeCell, 0, 1);
    grid->addWidget(label5, 0, 2);
    grid->addWidget(Label6, 0, 3);
    grid->addWidget(label7, 1, 0);
    grid->addWidget(Label8, 1, 1, 1, 3);
    grid->setColumnStretch(3, 1);

    Panel7 = new QLabel;
    Panel7->setObjectName("Panel7");
    Panel7->setFrameShape(QFrame::StyledPanel);
    Panel7->setMinimumHeight(QFontMetrics(font()).height() + 6);
    StepNote = new QLabel;
    StepNote->setObjectName("StepNote");
    StepNote->setTextFormat(Qt::PlainText);
    HistoryPosition = new QLabel;
    HistoryPosition->setObjectName("HistoryPosition");
    RunNote = new QLabel;
    RunNote->setObjectName("RunNote");
    RunNote->setTextFormat(Qt::PlainText);
    {
        QFont bold = RunNote->font();
        bold.setBold(true);
        RunNote->setFont(bold);
    }
    RunNote->hide();
    auto* stepRow = new QHBoxLayout;
    stepRow->addWidget(Panel7, 1);
    stepRow->addWidget(StepNote, 2);
    stepRow->addWidget(HistoryPosition);

    StackList = new QListWidget;
    StackList->setObjectName("StackList");
    ItemsList = new QListWidget;
    ItemsList->setObjectName("ItemsList");
    auto* stackPage = new QWidget;
    auto* stackLayout = new QHBoxLayout(stackPage);
    stackLayout->setContentsMargins(0, 0, 0, 0);
    stackLayout->addWidget(StackList, 1);
    stackLayout->addWidget(ItemsList, 2);
    ParseTree = new QTreeWidget;
    ParseTree->setObjectName("ParseTree");
    ParseTree->setHeaderHidden(true);
    ExportTreeButton = new QPushButton(QStringLiteral("Exportovať strom ..."));
    ExportTreeButton->setObjectName("ExportTreeButton");
    // The window asks for the file name through its prompter.
    connect(ExportTreeButton, &QPushButton::clicked, this, &DebugPanelWidget::exportTreeRequested);
    auto* treePage = new QWidget;
    auto* treeLayout = new QVBoxLayout(treePage);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    treeLayout->addWidget(ParseTree, 1);
    treeLayout->addWidget(ExportTreeButton, 0, Qt::AlignLeft);
    InsightTabs = new QTabWidget;
    InsightTabs->setObjectName("InsightTabs");
    InsightTabs->addTab(stackPage, QStringLiteral("Zásobník"));
    InsightTabs->addTab(treePage, QStringLiteral("Strom"));
    // The tree is built only while its tab is shown: it has an item for
    // every shift and reduction of the run, and rebuilding it out of sight
    // at every stop would hold the run back.
    connect(InsightTabs, &QTabWidget::currentChanged, this, [this] {
        if (session_)
            sync(*session_, false);
    });

    traceModel_ = new TraceModel(this);
    ListBox1 = new QListView;
    ListBox1->setObjectName("ListBox1");
    ListBox1->setUniformItemSizes(true);
    ListBox1->setModel(traceModel_);
    ListBox2 = new QListWidget;
    ListBox2->setObjectName("ListBox2");
    ListBox2->setUniformItemSizes(true);
    // Tab stops every 9 dialog units: about two average characters.
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::Monospace);
    ListBox2->setFont(mono);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(stepRow);
    layout->addWidget(RunNote);
    layout->addWidget(ListBox1, 1);
    layout->addWidget(ListBox2, 2);
    layout->addWidget(InsightTabs, 2);
}

namespace {

QString latin1(const std::string& s)
{
    return QString::fromLatin1(s.data(), static_cast<int>(s.size()));
}

} // namespace

void DebugPanelWidget::sync(dl::DebugSession& session, bool rebuild)
{
    session_ = &session;
    dl::RunHistory& history = session.history();
    if (rebuild || historyIndex_ >= static_cast<long>(history.size())) {
        historyIndex_ = -1;
        treeKey_ = SIZE_MAX;
    }
    // Once the thread has ended no record is read any more: the last stop
    // is history, not the program's current place.  Its fields stay
    // readable but grey, the grammar list marks no action as current, and
    // a line says how the run stands.  The trace, stack and tree stay.
    const bool current = !session.ended();
    if (!current)
        historyIndex_ = -1;
    showCurrentStop(current);
    const QString note = q(session.runNote());
    setIfChanged(RunNote, note);
    RunNote->setVisible(!note.isEmpty());
    const dl::DebugPanel& panel = session.panel();
    if (historyIndex_ < 0) {
        const dl::PanelNotes& notes = history.live().notes();
        const std::string& stream = session.names() ? notes.inputStream : panel.inputStream();
        syncFields(panel.tokenCode(), panel.characters(), stream, panel.stepLine(), panel.grammar(),
                   current ? panel.selectedGrammarItem() : -1, rebuild);
        syncTrace(session, history.size(), rebuild);
        setIfChanged(TokenName, q(notes.tokenName));
        setIfChanged(StepNote, q(notes.stepNote));
        setIfChanged(HistoryPosition, QString());
        if (history.size() == 0) {
            syncInsight(session, {}, nullptr);
        } else {
            const dl::TreeView tree = history.treeAt(history.size() - 1);
            syncInsight(session, history.live().stack(), &tree);
        }
        return;
    }
    const size_t index = static_cast<size_t>(historyIndex_);
    const dl::RunHistory::Moment m = history.at(index);
    syncFields(m.panel.tokenCode, m.panel.characters, session.names() ? m.notes.inputStream : panel.inputStream(),
               m.panel.stepLine, panel.grammar(), m.panel.selected, rebuild);
    syncTrace(session, index + 1, rebuild);
    setIfChanged(TokenName, q(m.notes.tokenName));
    setIfChanged(StepNote, q(m.notes.stepNote));
    setIfChanged(HistoryPosition, QStringLiteral("záznam %1 / %2").arg(index + 1).arg(history.size()));
    const dl::TreeView tree = history.treeAt(index);
    syncInsight(session, m.stack, &tree);
}

void DebugPanelWidget::showCurrentStop(bool current)
{
    for (QLabel* field : {Label2x, TokenName, Label6, Label8, Panel7, StepNote})
        if (field->isEnabled() != current)
            field->setEnabled(current);
}

void DebugPanelWidget::viewLive(dl::DebugSession& session)
{
    if (historyIndex_ < 0)
        return;
    historyIndex_ = -1;
    sync(session, false);
}

bool DebugPanelWidget::moveInHistory(dl::DebugSession& session, int delta)
{
    const long size = static_cast<long>(session.history().size());
    if (size == 0)
        return delta < 0;
    long at = historyIndex_ < 0 ? size - 1 : historyIndex_;
    at += delta;
    if (at < 0)
        at = 0;
    if (at >= size) {
        historyIndex_ = -1;
        sync(session, false);
        return false;
    }
    historyIndex_ = at == size - 1 && delta > 0 ? -1 : at;
    sync(session, false);
    return true;
}

void DebugPanelWidget::syncInsight(const dl::DebugSession& session, const std::vector<dl::StackEntry>& stack,
                                   const dl::TreeView* tree)
{
    const dl::GrammarNames* names = session.names();
    QStringList rows;
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        QString row = QString::number(it->state);
        if (it->symbol >= 0 && names)
            row += QStringLiteral("  ") + q(names->symbolName(it->symbol));
        rows << row;
    }
    QStringList current;
    for (int i = 0; i < StackList->count(); ++i)
        current << StackList->item(i)->text();
    if (current != rows) {
        StackList->clear();
        StackList->addItems(rows);
    }
    QStringList items;
    if (names && !stack.empty())
        for (const std::string& item : names->items(stack.back().state))
            items << q(item);
    current.clear();
    for (int i = 0; i < ItemsList->count(); ++i)
        current << ItemsList->item(i)->text();
    if (current != items) {
        ItemsList->clear();
        ItemsList->addItems(items);
    }

    if (InsightTabs->currentIndex() != 1)
        return;
    // The tree is rebuilt only when it can have changed: another record
    // shown, or live and the run has moved on.
    const size_t key = historyIndex_ < 0 ? SIZE_MAX - 1 : static_cast<size_t>(historyIndex_);
    const size_t stamp = historyIndex_ < 0 ? session.history().size() : 0;
    if (tree && key == treeKey_ && stamp == treeNodes_)
        return;
    // While the run goes, the tree waits for the next stop: it grows with
    // every shift and reduction, and rebuilding thousands of items at each
    // refresh would hold the run back.
    const bool going = !session.ended() && !session.commands().isEnabled("HM_AfterLexJed");
    if (tree && historyIndex_ < 0 && going)
        return;
    treeKey_ = key;
    treeNodes_ = stamp;
    ParseTree->clear();
    if (!tree)
        return;
    std::vector<std::pair<int, QTreeWidgetItem*>> todo;
    for (int root : tree->roots())
        todo.emplace_back(root, nullptr);
    std::reverse(todo.begin(), todo.end());
    while (!todo.empty()) {
        const auto [n, parent] = todo.back();
        todo.pop_back();
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(ParseTree);
        item->setText(0, latin1(tree->label(n)));
        const dl::TreeNode& node = session.history().live().nodes()[static_cast<size_t>(n)];
        if (node.kind == dl::TreeNode::Kind::Error)
            item->setForeground(0, QColor(0xc0, 0, 0));
        if (tree->discarded(n)) {
            QFont f = item->font(0);
            f.setStrikeOut(true);
            item->setFont(0, f);
            item->setForeground(0, QColor(0x99, 0x99, 0x99));
        }
        const std::vector<int> kids = tree->children(n);
        for (auto it = kids.rbegin(); it != kids.rend(); ++it)
            todo.emplace_back(*it, item);
    }
    ParseTree->expandAll();
}

void DebugPanelWidget::syncTrace(const dl::DebugSession& session, size_t count, bool rebuild)
{
    // The newest line stays in sight, as it does in a log.
    if (traceModel_->update(session, count, filter_, rebuild))
        ListBox1->scrollToBottom();
}

void DebugPanelWidget::setTraceFilter(const dl::TraceFilter& filter)
{
    if (filter_ == filter)
        return;
    filter_ = filter;
    if (session_) {
        const size_t size = session_->history().size();
        syncTrace(*session_, historyIndex_ < 0 ? size : static_cast<size_t>(historyIndex_) + 1, false);
    }
}

bool DebugPanelWidget::exportTree(const QString& path) const
{
    if (!session_)
        return false;
    const dl::RunHistory& history = session_->history();
    std::string text;
    const bool svg = path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
    if (history.size() > 0) {
        const size_t index = historyIndex_ < 0 ? history.size() - 1 : static_cast<size_t>(historyIndex_);
        const dl::TreeView tree = history.treeAt(index);
        text = svg ? tree.svg() : tree.dot();
    }
    // Replaced whole or not at all: a full disk leaves the old file.
    return vork::writeFileAtomically(path.toStdString(), text);
}

void DebugPanelWidget::syncFields(const std::string& tokenCode, const std::string& characters,
                                  const std::string& inputStream, const std::string& stepLine,
                                  const std::vector<std::string>& grammar, int selected, bool rebuild)
{
    setIfChanged(Label2x, q(tokenCode));
    // The characters are the program's input bytes: shown as Latin-1 so
    // that every byte is one character, as the field counts them.
    setIfChanged(Label6, latin1(characters));
    setIfChanged(Label8, latin1(inputStream));
    setIfChanged(Panel7, q(stepLine));

    if (rebuild || static_cast<int>(grammar.size()) != ListBox2->count()) {
        ListBox2->clear();
        QStringList lines;
        lines.reserve(static_cast<int>(grammar.size()));
        for (const std::string& line : grammar) {
            QString text = q(line);
            text.replace(QLatin1Char('\t'), QStringLiteral("    "));
            lines << text;
        }
        ListBox2->addItems(lines);
    }
    if (selected >= 0 && selected < ListBox2->count()) {
        if (ListBox2->currentRow() != selected) {
            ListBox2->setCurrentRow(selected);
            ListBox2->scrollToItem(ListBox2->item(selected));
        }
    } else if (ListBox2->currentRow() >= 0) {
        ListBox2->setCurrentRow(-1);
    }
}

GuiDebugSession::GuiDebugSession(Prompter& prompter, std::function<dl::GrammarText()> loadGrammar)
    : DebugSession("", std::move(loadGrammar), *this), prompter_(prompter)
{
    onChange = [this] { emit displayed(); };
}

void GuiDebugSession::showRecord(const dl::Record& record)
{
    if (record.kind == static_cast<uint32_t>(dl::RecordKind::AnalysisStart))
        rebuild_ = true;
    DebugSession::showRecord(record);
}

void GuiDebugSession::showStopped()
{
    commandsChanged_ = titleChanged_ = true;
    DebugSession::showStopped();
}

void GuiDebugSession::showRunning()
{
    commandsChanged_ = titleChanged_ = true;
    DebugSession::showRunning();
}

void GuiDebugSession::threadEnded()
{
    commandsChanged_ = true;
    DebugSession::threadEnded();
}

void GuiDebugSession::enableDebugCommands()
{
    commandsChanged_ = true;
    DebugSession::enableDebugCommands();
}

void GuiDebugSession::wakeMainThread(std::function<void()> service)
{
    // The worker waits for the display it asked for; the main thread runs
    // it from its event loop.
    QMetaObject::invokeMethod(this, [service = std::move(service)] { service(); }, Qt::QueuedConnection);
}

bool GuiDebugSession::askYesNo(const std::string& caption, const std::string& text)
{
    return prompter_.askYesNo(q(caption), q(text), Prompter::Icon::Stop);
}

void GuiDebugSession::showError(const std::string& text)
{
    prompter_.showErrorText(q(text));
}

bool GuiDebugSession::takeRebuild()
{
    return std::exchange(rebuild_, false);
}

bool GuiDebugSession::takeCommandsChanged()
{
    return std::exchange(commandsChanged_, false);
}

bool GuiDebugSession::takeTitleChanged()
{
    return std::exchange(titleChanged_, false);
}

} // namespace vork::shell
