#include "vork/shell/debug_panel_widget.h"

#include "vork/shell/prompter.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMetaObject>
#include <QPointer>
#include <QVBoxLayout>

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
    grid->addWidget(label3, 0, 0);
    grid->addWidget(Label2x, 0, 1);
    grid->addWidget(label5, 0, 2);
    grid->addWidget(Label6, 0, 3);
    grid->addWidget(label7, 1, 0);
    grid->addWidget(Label8, 1, 1, 1, 3);
    grid->setColumnStretch(3, 1);

    Panel7 = new QLabel;
    Panel7->setObjectName("Panel7");
    Panel7->setFrameShape(QFrame::StyledPanel);
    Panel7->setMinimumHeight(QFontMetrics(font()).height() + 6);

    ListBox1 = new QListWidget;
    ListBox1->setObjectName("ListBox1");
    ListBox2 = new QListWidget;
    ListBox2->setObjectName("ListBox2");
    ListBox2->setUniformItemSizes(true);
    // Tab stops every 9 dialog units: about two average characters.
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::Monospace);
    ListBox2->setFont(mono);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(Panel7);
    layout->addWidget(ListBox1, 1);
    layout->addWidget(ListBox2, 2);
}

void DebugPanelWidget::sync(const dl::DebugPanel& panel, bool rebuild)
{
    setIfChanged(Label2x, q(panel.tokenCode()));
    // The characters are the program's input bytes: shown as Latin-1 so
    // that every byte is one character, as the field counts them.
    setIfChanged(Label6, QString::fromLatin1(panel.characters().data(), static_cast<int>(panel.characters().size())));
    setIfChanged(Label8, q(panel.inputStream()));
    setIfChanged(Panel7, q(panel.stepLine()));

    const auto& trace = panel.trace();
    if (rebuild || static_cast<int>(trace.size()) < ListBox1->count()) {
        ListBox1->clear();
    }
    for (size_t i = static_cast<size_t>(ListBox1->count()); i < trace.size(); ++i)
        ListBox1->addItem(q(trace[i]));

    const auto& grammar = panel.grammar();
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
    const int selected = panel.selectedGrammarItem();
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
