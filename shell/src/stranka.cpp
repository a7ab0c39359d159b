#include "vork/shell/stranka.h"

#include "vork/shell/code_editor.h"
#include "vork/shell/grammar_outline.h"
#include "vork/text_codec.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QPalette>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>
#include <sys/stat.h>

namespace vork::shell {

namespace {

const QHash<char16_t, char>& windows1250Bytes()
{
    static const QHash<char16_t, char> bytes = [] {
        QHash<char16_t, char> h;
        for (int i = 0x80; i < 0x100; ++i)
            h.insert(vork::windows1250Char(static_cast<unsigned char>(i)), static_cast<char>(i));
        return h;
    }();
    return bytes;
}

const QByteArray kBom("\xEF\xBB\xBF");

// Characters a UTF-8 file may not hold to be shown as UTF-8: the editor
// turns U+2029 into a line break, and U+F70D stands for a stray CR.
bool editorKeepsAll(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() == 0x2029 || c.unicode() == kStrayCarriageReturn)
            return false;
    return true;
}

QString lineEndsToBreaks(const QString& text, FileText::LineEnd lineEnd)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r'))
            out.append(c);
        else if (lineEnd == FileText::LineEnd::CrLf && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            continue; // the '\n' that follows is the break
        else
            out.append(QChar(kStrayCarriageReturn));
    }
    return out;
}

} // namespace

FileText decodeFileText(const QByteArray& bytes)
{
    FileText result;
    QByteArray body = bytes;
    if (body.startsWith(kBom)) {
        result.byteOrderMark = true;
        body.remove(0, kBom.size());
    }
    const qsizetype firstBreak = body.indexOf('\n');
    if (firstBreak > 0 && body.at(firstBreak - 1) == '\r')
        result.lineEnd = FileText::LineEnd::CrLf;

    QString text = QString::fromUtf8(body);
    if (text.toUtf8() == body && editorKeepsAll(text)) {
        result.encoding = FileText::Encoding::Utf8;
    } else {
        // Not UTF-8 (or UTF-8 the editor can't hold as is): every byte is
        // one character, and the mark, if any, is just three bytes.
        result.byteOrderMark = false;
        body = bytes;
        result.encoding = FileText::Encoding::Windows1250;
        text.clear();
        text.reserve(body.size());
        for (char b : body) {
            const auto u = static_cast<unsigned char>(b);
            text.append(QChar(vork::windows1250Char(static_cast<unsigned char>(u))));
        }
    }
    result.text = lineEndsToBreaks(text, result.lineEnd);
    return result;
}

bool encodeFileText(const QString& text, const FileText& format, QByteArray* out, QString* error)
{
    const QByteArray lineEnd = format.lineEnd == FileText::LineEnd::CrLf ? QByteArray("\r\n") : QByteArray("\n");
    QByteArray bytes;
    bytes.reserve(text.size() + text.size() / 16);
    if (format.encoding == FileText::Encoding::Utf8) {
        if (format.byteOrderMark)
            bytes += kBom;
        qsizetype runStart = 0;
        auto flush = [&](qsizetype end) { bytes += QStringView(text).mid(runStart, end - runStart).toUtf8(); };
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text.at(i).unicode();
            if (c == u'\n' || c == 0x2029) {
                flush(i);
                bytes += lineEnd;
                runStart = i + 1;
            } else if (c == kStrayCarriageReturn) {
                flush(i);
                bytes += '\r';
                runStart = i + 1;
            }
        }
        flush(text.size());
    } else {
        const auto& table = windows1250Bytes();
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text.at(i).unicode();
            if (c == u'\n' || c == 0x2029) {
                bytes += lineEnd;
            } else if (c == kStrayCarriageReturn) {
                bytes += '\r';
            } else if (c < 0x80) {
                bytes += static_cast<char>(c);
            } else if (auto it = table.find(c); it != table.end()) {
                bytes += it.value();
            } else {
                if (error) {
                    const char32_t code = text.at(i).isHighSurrogate() && i + 1 < text.size()
                        ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1))
                        : c;
                    *error = QStringLiteral("Znak U+%1 sa v kódovaní tohto súboru (Windows-1250) nedá zapísať.")
                                 .arg(QString::number(static_cast<uint>(code), 16).toUpper().rightJustified(4, QLatin1Char('0')));
                }
                return false;
            }
        }
    }
    *out = std::move(bytes);
    return true;
}

QString caretPositionText(int line, int column)
{
    return QStringLiteral("\t[%1 : %2]").arg(line).arg(column);
}

TStranka::TStranka(QTabWidget* owner, Prompter& prompter, const QFont& font)
    : QWidget(owner), owner_(owner), prompter_(prompter)
{
    if (!owner) {
        // A page outside a page control has no tab to live in; this is a
        // programming error, not a user's.
        prompter.inform(QStringLiteral("TStranka"), QStringLiteral("Chybné použitie triedy TStranka !"),
                        Prompter::Icon::Stop);
        std::abort();
    }
    editor_ = new CodeEditor(this);
    editor_->setObjectName(QStringLiteral("editor"));
    editor_->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor_->setWordWrapMode(QTextOption::NoWrap);
    editor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor_->setTabChangesFocus(false);
    editor_->setFont(font);
    // Tab stops every eight characters, as the sources were laid out.
    editor_->setTabStopDistance(QFontMetricsF(editor_->font()).horizontalAdvance(QLatin1Char(' ')) * 8);
    // Keep the selection as visible without the focus as with it: a find
    // from the non-modal dialog selects text while the dialog has the focus.
    QPalette palette = editor_->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    editor_->setPalette(palette);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(editor_);

    findDialog_ = new FindDialog(this);
    findDialog_->setObjectName(QStringLiteral("findDialog"));
    replaceDialog_ = new ReplaceDialog(this);
    replaceDialog_->setObjectName(QStringLiteral("replaceDialog"));

    connect(findDialog_, &FindDialog::findNextRequested, this, [this] {
        const SearchOptions o = findDialog_->options();
        findNext(findDialog_->searchText(), o.matchCase, o.wholeWord);
    });
    connect(replaceDialog_, &FindDialog::findNextRequested, this, [this] {
        const SearchOptions o = replaceDialog_->options();
        findNext(replaceDialog_->searchText(), o.matchCase, o.wholeWord);
    });
    connect(replaceDialog_, &ReplaceDialog::replaceRequested, this, [this](bool all) {
        const SearchOptions o = replaceDialog_->options();
        replaceNext(replaceDialog_->searchText(), replaceDialog_->replacementText(), o.matchCase, o.wholeWord, all);
    });

    connect(editor_, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (!loading_)
            emit caretChanged();
    });
    connect(editor_, &QPlainTextEdit::modificationChanged, this, [this](bool modified) {
        refreshTabText();
        if (!loading_)
            emit modifiedChanged(modified);
    });
    connect(editor_->document(), &QTextDocument::contentsChange, this, &TStranka::onContentsChange);

    owner->addTab(this, QString());
}

TStranka::~TStranka() = default;

void TStranka::setFileName(const QString& name)
{
    fileName_ = name;
    refreshTabText();
}

void TStranka::refreshTabText()
{
    // A modified page's tab carries a star after the file's name.
    const int index = owner_->indexOf(this);
    if (index >= 0) {
        owner_->setTabText(index, QFileInfo(fileName_).fileName() + (isModified() ? QStringLiteral(" *") : QString()));
        owner_->setTabToolTip(index, fileName_);
    }
}

bool TStranka::load(QString* error)
{
    // A pipe would block the window until someone writes to it, and a
    // device may never end: only regular files are read.
    const QFileInfo info(fileName_);
    if (info.exists() && !info.isFile()) {
        if (error)
            *error = QStringLiteral("Nie je to obyčajný súbor.");
        return false;
    }
    QFile file(fileName_);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    format_ = decodeFileText(bytes);

    loading_ = true;
    editor_->hide();
    editor_->setPlainText(format_.text);
    editor_->moveCursor(QTextCursor::Start);
    editor_->document()->setModified(false);
    editor_->show();
    loading_ = false;
    diskStamp_ = stampOf(fileName_);
    emit modifiedChanged(false);
    emit caretChanged();
    return true;
}

TStranka::DiskStamp TStranka::stampOf(const QString& fileName)
{
    struct stat st;
    if (::stat(QFile::encodeName(fileName).constData(), &st) != 0)
        return {};
    return {true, static_cast<long long>(st.st_mtim.tv_sec), static_cast<long long>(st.st_mtim.tv_nsec),
            static_cast<long long>(st.st_size), static_cast<unsigned long long>(st.st_ino)};
}

bool TStranka::changedOnDisk() const
{
    const DiskStamp now = stampOf(fileName_);
    // A file that is gone is not taken for changed: nothing to reload.
    return diskStamp_.known && now.known && !(now == diskStamp_);
}

void TStranka::keepOwnVersion()
{
    diskStamp_ = stampOf(fileName_);
}

bool TStranka::reload(QString* error)
{
    // The caret stays on its line, as far as the new text has lines.
    const int line = editor_->textCursor().blockNumber();
    if (!load(error))
        return false;
    const QTextBlock block = editor_->document()->findBlockByNumber(
        std::min(line, editor_->document()->blockCount() - 1));
    editor_->setTextCursor(QTextCursor(block));
    return true;
}

bool TStranka::writeFile(QString* error)
{
    QByteArray bytes;
    if (!encodeFileText(documentText(), format_, &bytes, error))
        return false;
    QSaveFile file(fileName_);
    // The bytes go through the file's buffer; commit() writes what is left
    // of it without looking whether that worked, so on a full disk it would
    // put a cut-off copy in place of the file.  flush() does look.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    editor_->document()->setModified(false);
    diskStamp_ = stampOf(fileName_);
    return true;
}

bool TStranka::save()
{
    QString error;
    if (writeFile(&error))
        return true;
    if (prompter_.askYesNo(QStringLiteral("Korvalen"),
                           QStringLiteral("Súbor ") + fileName_ +
                               QStringLiteral(" sa nepodarilo zapísať na disk ! \nChcete vediet viacej ?"),
                           Prompter::Icon::Stop))
        prompter_.showErrorText(error);
    return false;
}

bool TStranka::isModified() const
{
    return editor_->document()->isModified();
}

QString TStranka::caretText() const
{
    const QTextCursor cursor = editor_->textCursor();
    return caretPositionText(cursor.blockNumber() + 1, cursor.positionInBlock() + 1);
}

QString TStranka::modifiedText() const
{
    return isModified() ? QStringLiteral("Modifikovaný") : QString();
}

QString TStranka::documentText() const
{
    return editor_->document()->toRawText();
}

void TStranka::placeCaret(int line, int column)
{
    QTextDocument* document = editor_->document();
    const QTextBlock block = document->findBlockByNumber(std::clamp(line, 0, document->blockCount() - 1));
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + std::clamp(column, 0, std::max(0, block.length() - 1)));
    editor_->setFocus();
    editor_->setTextCursor(cursor);
    editor_->centerCursor();
}

QString TStranka::goToDefinition()
{
    // Other files have no definitions to go to: a Ctrl+click there is
    // only a click.
    const SpecKind kind = specKindOf(fileName_);
    if (kind == SpecKind::None)
        return QString();
    const QTextCursor caret = editor_->textCursor();
    const DefinitionLookup found =
        findDefinition(kind, editor_->toPlainText(), caret.blockNumber(), caret.positionInBlock());
    if (found.result == DefinitionLookup::Result::Found)
        placeCaret(found.line, found.column);
    return definitionMessage(found);
}

void TStranka::primeDialog(FindDialog* dialog)
{
    dialog->setSearchText(editor_->textCursor().selectedText());
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void TStranka::find()
{
    primeDialog(findDialog_);
}

void TStranka::replace()
{
    primeDialog(replaceDialog_);
}

void TStranka::showNotFound()
{
    prompter_.inform(QStringLiteral("Hľadať/Nahradiť"), QStringLiteral("Koniec súboru."), Prompter::Icon::None);
    editor_->moveCursor(QTextCursor::Start);
}

bool TStranka::findNext(const QString& text, bool matchCase, bool wholeWord)
{
    const QTextCursor cursor = editor_->textCursor();
    // From one character after a selection's start, so that the match
    // selected now is not found again.
    const int from = cursor.hasSelection() ? cursor.selectionStart() + 1 : cursor.position();
    const int at = findForward(documentText(), text, from, {matchCase, wholeWord});
    if (at < 0) {
        showNotFound();
        return false;
    }
    QTextCursor match(editor_->document());
    match.setPosition(at);
    match.setPosition(at + static_cast<int>(text.size()), QTextCursor::KeepAnchor);
    editor_->setTextCursor(match);
    editor_->ensureCursorVisible();
    return true;
}

void TStranka::replaceNext(const QString& text, const QString& replacement, bool matchCase, bool wholeWord, bool all)
{
    const SearchOptions options{matchCase, wholeWord};
    QTextCursor cursor = editor_->textCursor();
    if (!all) {
        // Only a selection that is the searched text is replaced: a
        // selection the user made for something else stays as it is.
        if (cursor.hasSelection() && cursor.selectionEnd() - cursor.selectionStart() == static_cast<int>(text.size()) &&
            matchesAt(documentText(), text, cursor.selectionStart(), options)) {
            cursor.insertText(replacement);
            editor_->setTextCursor(cursor);
        }
        findNext(text, matchCase, wholeWord);
        return;
    }

    const QVector<int> positions = replaceAllPositions(documentText(), text, replacement, cursor.selectionStart(),
                                                       cursor.selectionEnd(), options);
    if (!positions.isEmpty()) {
        // Back to front, so that earlier positions stay where they were;
        // one edit block, so that one undo takes the whole replace-all back.
        QTextCursor edit(editor_->document());
        edit.beginEditBlock();
        for (auto it = positions.crbegin(); it != positions.crend(); ++it) {
            edit.setPosition(*it);
            edit.setPosition(*it + static_cast<int>(text.size()), QTextCursor::KeepAnchor);
            edit.insertText(replacement);
        }
        edit.endEditBlock();
    }
    // The loop ends where find next fails: past the last replacement.
    showNotFound();
}

bool TStranka::confirmDiscard()
{
    if (!isModified())
        return true;
    const Prompter::Answer a =
        prompter_.askYesNoCancel(QStringLiteral("Otázka"),
                                 QStringLiteral("Súbor ") + fileName_ + QStringLiteral(" bol zmenený, chcete ho uložiť ?"),
                                 Prompter::Icon::Question);
    // Cancel keeps the page and its text, as a failed save does.
    if (a == Prompter::Answer::Cancel)
        return false;
    if (a == Prompter::Answer::No)
        return true;
    return save();
}

void TStranka::onContentsChange(int /*position*/, int /*removed*/, int /*added*/)
{
    // Qt does not report a change made while one is being reported, so the
    // colouring may recolour from textEdited without calling itself again.
    if (!loading_)
        emit textEdited(editor_->textCursor().blockNumber());
}

} // namespace vork::shell
