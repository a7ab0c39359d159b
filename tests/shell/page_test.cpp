// The editor page: the search rules, the file text codec, and the page's
// load / edit / find / replace / save / discard round trips.
#include "scripted_prompter.h"
#include "vork/shell/stranka.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <iconv.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace vork::shell {
namespace {

using test::ScriptedPrompter;

// ---- search ----------------------------------------------------------------

TEST(PageSearch, FindForward)
{
    struct Case {
        const char* text;
        const char* pattern;
        int from;
        bool matchCase;
        bool wholeWord;
        int expected;
    };
    const Case cases[] = {
        {"abc x abc", "abc", 0, false, false, 0},
        {"abc x abc", "abc", 1, false, false, 6},
        {"abc x abc", "abc", 7, false, false, -1},
        {"ABC x abc", "abc", 0, true, false, 6},
        {"ABC x abc", "abc", 0, false, false, 0},
        {"abcd xabc abc_ abc", "abc", 0, false, true, 15},
        {"abc.abc", "abc", 1, false, true, 4},
        {"čaj ČAJ", "čaj", 1, false, false, 4},
        {"", "a", 0, false, false, -1},
        {"aaa", "", 0, false, false, -1}, // an empty pattern finds nothing
        {"ab", "ab", -3, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.pattern);
        EXPECT_EQ(findForward(QString::fromUtf8(c.text), QString::fromUtf8(c.pattern), c.from,
                              {c.matchCase, c.wholeWord}),
                  c.expected);
    }
}

TEST(PageSearch, ReplaceAllPositions)
{
    struct Case {
        const char* text;
        const char* pattern;
        const char* replacement;
        int selStart;
        int selEnd;
        bool wholeWord;
        QVector<int> expected;
    };
    const Case cases[] = {
        {"a b a b a", "a", "x", 0, 0, false, {0, 4, 8}},
        {"a b a b a", "a", "x", 3, 3, false, {4, 8}},    // from the caret on only
        {"a b a b a", "a", "x", 4, 5, false, {4, 8}},    // the selected match first
        {"a b a b a", "b a", "x", 0, 1, false, {2, 6}},  // a selection that is no match is left
        {"aaa", "a", "aa", 0, 0, false, {0, 1, 2}},      // never the replacement's own text
        {"a-a", "a", "", 0, 0, true, {0, 2}},
        // After "x" replaces the first "-", the second touches a word
        // character and is no whole word any more.
        {"--", "-", "x", 0, 0, true, {0}},
        {"aa a", "a", "x", 0, 1, true, {3}},             // the selection is no whole word
        {"b a", "a", "x", 0, 0, true, {2}},
        {"abc", "", "x", 0, 0, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.pattern + " -> " + c.replacement);
        EXPECT_EQ(replaceAllPositions(QString::fromUtf8(c.text), QString::fromUtf8(c.pattern),
                                      QString::fromUtf8(c.replacement), c.selStart, c.selEnd, {false, c.wholeWord}),
                  c.expected);
    }
}

// ---- file text -------------------------------------------------------------

QByteArray roundTrip(const QByteArray& bytes)
{
    const FileText decoded = decodeFileText(bytes);
    QByteArray out;
    QString error;
    EXPECT_TRUE(encodeFileText(decoded.text, decoded, &out, &error)) << error.toStdString();
    return out;
}

TEST(PageFileText, DecodeAndWriteBack)
{
    using E = FileText::Encoding;
    using L = FileText::LineEnd;
    struct Case {
        QByteArray bytes;
        E encoding;
        L lineEnd;
        QString text;
        QByteArray written = {}; // empty: the bytes themselves
    };
    const Case cases[] = {
        {"a\nb\n", E::Utf8, L::Lf, "a\nb\n"},
        {"a\r\nb\r\n", E::Utf8, L::CrLf, "a\nb\n"},
        {"\xC4\x8D\r\n", E::Utf8, L::CrLf, QString::fromUtf8("č\n")},
        {"\xEF\xBB\xBFx\n", E::Utf8, L::Lf, "x\n"},
        {"\xE8" "aj\r\n", E::Windows1250, L::CrLf, QString::fromUtf8("čaj\n")},
        {"a\rb\r\n", E::Utf8, L::CrLf, QString("a") + QChar(kStrayCarriageReturn) + "b\n"},
        {"a\nb\r\n", E::Utf8, L::Lf, QString("a\nb") + QChar(kStrayCarriageReturn) + "\n"},
        {QByteArray("x\0y", 3), E::Utf8, L::Lf, QString("x") + QChar(0) + "y"},
        // U+2029 would become a line break: read byte for byte instead.
        {"\xE2\x80\xA9", E::Windows1250, L::Lf, QString::fromUtf8("â€©")},
        // Mixed line ends: the first one sets the convention.
        {"a\r\nb\nc", E::Utf8, L::CrLf, "a\nb\nc", "a\r\nb\r\nc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        const FileText decoded = decodeFileText(c.bytes);
        EXPECT_EQ(decoded.encoding, c.encoding);
        EXPECT_EQ(decoded.lineEnd, c.lineEnd);
        EXPECT_EQ(decoded.text, c.text);
        EXPECT_EQ(roundTrip(c.bytes), c.written.isEmpty() ? c.bytes : c.written);
    }
}

TEST(PageFileText, EveryByteSurvives)
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(static_cast<char>(i));
    EXPECT_EQ(roundTrip(all), all);
    EXPECT_EQ(roundTrip(all + "\r\n" + all), all + "\r\n" + all);
}

TEST(PageFileText, Windows1250AgreesWithTheCLibrary)
{
    iconv_t cd = iconv_open("UTF-32LE", "WINDOWS-1250");
    if (cd == reinterpret_cast<iconv_t>(-1))
        GTEST_SKIP() << "no Windows-1250 converter in the C library";
    int compared = 0;
    for (int b = 0x80; b < 0x100; ++b) {
        char in = static_cast<char>(b);
        char32_t out = 0;
        char* inp = &in;
        char* outp = reinterpret_cast<char*>(&out);
        size_t inLeft = 1, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1))
            continue; // a byte the code page leaves unassigned
        const QString decoded = decodeFileText(QByteArray(1, in)).text;
        ASSERT_EQ(decoded.size(), 1);
        EXPECT_EQ(static_cast<char32_t>(decoded.at(0).unicode()), out) << "byte " << b;
        ++compared;
    }
    iconv_close(cd);
    EXPECT_GE(compared, 120);
}

TEST(PageFileText, Windows1250RefusesWhatItCannotHold)
{
    FileText format;
    format.encoding = FileText::Encoding::Windows1250;
    QByteArray out = "old";
    QString error;
    EXPECT_FALSE(encodeFileText(QString::fromUtf8("a漢"), format, &out, &error));
    EXPECT_TRUE(error.contains("U+6F22")) << error.toStdString();
    EXPECT_EQ(out, QByteArray("old"));
    EXPECT_TRUE(encodeFileText(QString::fromUtf8("čŽ€"), format, &out, &error));
    EXPECT_EQ(out, QByteArray("\xE8\x8E\x80"));
}

// ---- the page --------------------------------------------------------------

struct EditorPage : ::testing::Test {
    QTemporaryDir dir;
    QTabWidget tabs;
    ScriptedPrompter prompter;

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    static QByteArray readFile(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // A page holding bytes, loaded from a file.
    TStranka* open(const QByteArray& bytes, const QString& name = "t.l")
    {
        auto* page = new TStranka(&tabs, prompter, QFont("Courier New", 10));
        page->setFileName(writeFile(name, bytes));
        QString error;
        EXPECT_TRUE(page->load(&error)) << error.toStdString();
        return page;
    }
    static QString selection(TStranka* page) { return page->editor()->textCursor().selectedText(); }
    static int selectionStart(TStranka* page) { return page->editor()->textCursor().selectionStart(); }
};

TEST_F(EditorPage, AppendsItselfAsLastTabWithTheBareName)
{
    tabs.addTab(new QWidget, "first");
    tabs.setCurrentIndex(0);
    TStranka* page = open("x", "a.y");
    EXPECT_EQ(tabs.indexOf(page), 1);
    EXPECT_EQ(tabs.currentIndex(), 0);
    EXPECT_EQ(tabs.tabText(1), "a.y");
    EXPECT_EQ(page->fileName(), dir.filePath("a.y"));
}

TEST_F(EditorPage, LoadTypeSave)
{
    TStranka* page = open("line one\r\nline two\r\n");
    QSignalSpy modified(page, &TStranka::modifiedChanged);
    QSignalSpy edited(page, &TStranka::textEdited);
    EXPECT_FALSE(page->isModified());
    EXPECT_EQ(page->modifiedText(), "");
    EXPECT_EQ(page->caretText(), "\t[1 : 1]");

    QTextCursor c = page->editor()->textCursor();
    c.setPosition(13); // line two, after "line"
    page->editor()->setTextCursor(c);
    EXPECT_EQ(page->caretText(), "\t[2 : 5]");
    QTest::keyClicks(page->editor(), "X");
    EXPECT_EQ(page->modifiedText(), "Modifikovaný");
    ASSERT_EQ(modified.size(), 1);
    EXPECT_TRUE(modified.at(0).at(0).toBool());
    ASSERT_FALSE(edited.isEmpty());
    EXPECT_EQ(edited.last().at(0).toInt(), 1);

    EXPECT_TRUE(page->save());
    EXPECT_FALSE(page->isModified());
    EXPECT_EQ(page->modifiedText(), "");
    EXPECT_EQ(readFile(page->fileName()), QByteArray("line one\r\nlineX two\r\n"));
}

TEST_F(EditorPage, ForeignBytesSurviveAnEdit)
{
    const QByteArray bytes("\xE8\x81\xFF\r\x01\n", 6);
    TStranka* page = open(bytes);
    page->editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(page->editor(), "z");
    ASSERT_TRUE(page->save());
    EXPECT_EQ(readFile(page->fileName()), bytes + "z");
}

TEST_F(EditorPage, LoadReportsTheFailure)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0644), 0);
    for (const char* name : {"none", "sub", "fifo", "/dev/zero"}) {
        TStranka page(&tabs, prompter, QFont());
        page.setFileName(name[0] == '/' ? QString(name) : dir.filePath(name));
        QString error;
        EXPECT_FALSE(page.load(&error)) << name;
        EXPECT_FALSE(error.isEmpty()) << name;
    }
}

TEST_F(EditorPage, SaveKeepsLinkAndMode)
{
    const QString target = writeFile("target.c", "int x;\n");
    ASSERT_EQ(chmod(QFile::encodeName(target).constData(), 0640), 0);
    const QString link = dir.filePath("link.c");
    ASSERT_TRUE(QFile::link(target, link));
    auto* page = new TStranka(&tabs, prompter, QFont());
    page->setFileName(link);
    ASSERT_TRUE(page->load(nullptr));
    QTest::keyClicks(page->editor(), "/");
    ASSERT_TRUE(page->save());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readFile(target), QByteArray("/int x;\n"));
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// The page's owner must be a page control; anything else ends the program.
struct StderrPrompter : ScriptedPrompter {
    void inform(const QString& caption, const QString& text, Icon) override
    {
        std::fprintf(stderr, "%s: %s\n", caption.toUtf8().constData(), text.toUtf8().constData());
    }
};

TEST(PageDeathTest, NeedsAPageControl)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    StderrPrompter prompter;
    EXPECT_DEATH(TStranka(nullptr, prompter, QFont()), "TStranka: Chybné použitie triedy TStranka !");
}

TEST_F(EditorPage, FindNextWalksForwardAndStartsOver)
{
    struct Case {
        const char* pattern;
        bool matchCase;
        bool wholeWord;
        std::vector<int> starts; // the matches before "Koniec súboru."
    };
    const Case cases[] = {
        {"abc", false, false, {0, 6, 11, 16}},
        {"abc", true, false, {0, 6, 11}},
        {"abc", false, true, {0, 16}},
        {"ABC", true, true, {16}},
        {"q", false, false, {}},
    };
    TStranka* page = open("abc x abcd\nabc_ ABC");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        prompter.messages.clear();
        page->editor()->moveCursor(QTextCursor::Start);
        for (int round = 0; round < 2; ++round) {
            for (int start : c.starts) {
                ASSERT_TRUE(page->findNext(c.pattern, c.matchCase, c.wholeWord));
                EXPECT_EQ(selectionStart(page), start);
                EXPECT_EQ(selection(page).compare(c.pattern, Qt::CaseInsensitive), 0);
            }
            EXPECT_FALSE(page->findNext(c.pattern, c.matchCase, c.wholeWord));
            ASSERT_EQ(prompter.messages.size(), size_t(round + 1));
            EXPECT_EQ(prompter.messages.back().caption, "Hľadať/Nahradiť");
            EXPECT_EQ(prompter.messages.back().text, "Koniec súboru.");
            EXPECT_EQ(page->editor()->textCursor().position(), 0);
            EXPECT_FALSE(page->editor()->textCursor().hasSelection());
        }
    }
    EXPECT_FALSE(page->isModified());
}

TEST_F(EditorPage, ReplaceAllReplacesThreeAndSaysSoOnce)
{
    TStranka* page = open("cat dog\ncat\nconcat cat");
    page->replaceNext("cat", "cow", false, true, true);
    EXPECT_EQ(page->documentText(), QString("cow dog") + QChar(0x2029) + "cow" + QChar(0x2029) + "concat cow");
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Koniec súboru.");
    EXPECT_EQ(page->editor()->textCursor().position(), 0);
    EXPECT_TRUE(page->isModified());
    page->editor()->undo();
    EXPECT_EQ(page->documentText(), QString("cat dog") + QChar(0x2029) + "cat" + QChar(0x2029) + "concat cat");
}

TEST_F(EditorPage, ReplaceStepsReplaceOnlyMatches)
{
    TStranka* page = open("one two one");
    QTextCursor c = page->editor()->textCursor();
    c.setPosition(4);
    c.setPosition(7, QTextCursor::KeepAnchor); // "two": not what is searched
    page->editor()->setTextCursor(c);

    page->replaceNext("one", "1", true, false, false);
    EXPECT_EQ(page->documentText(), "one two one");
    EXPECT_EQ(selectionStart(page), 8);
    page->replaceNext("one", "1", true, false, false);
    EXPECT_EQ(page->documentText(), "one two 1");
    EXPECT_EQ(prompter.messages.size(), 1u); // nothing after it: back to the top
    page->replaceNext("one", "1", true, false, false);
    EXPECT_EQ(selectionStart(page), 0);
    EXPECT_EQ(selection(page), "one");
}

TEST_F(EditorPage, DialogsDriveTheSearch)
{
    TStranka* page = open("alpha beta alpha");
    QTextCursor c = page->editor()->textCursor();
    c.setPosition(0);
    c.setPosition(5, QTextCursor::KeepAnchor);
    page->editor()->setTextCursor(c);

    page->find();
    EXPECT_TRUE(page->findDialog()->isVisible());
    EXPECT_EQ(page->findDialog()->searchText(), "alpha");
    QTest::mouseClick(page->findDialog()->hladatDalej, Qt::LeftButton);
    EXPECT_EQ(selectionStart(page), 11);

    page->replace();
    EXPECT_EQ(page->replaceDialog()->searchText(), "alpha");
    page->replaceDialog()->nahraditText->setText("gamma");
    QTest::mouseClick(page->replaceDialog()->nahraditVsetko, Qt::LeftButton);
    EXPECT_EQ(page->documentText(), "alpha beta gamma");
    EXPECT_EQ(prompter.messages.size(), 1u);
}

// Takes away root's power to write where the permissions say no, for the
// calling thread, and gives it back at the end.
class WithoutOverride {
public:
    WithoutOverride()
    {
        if (syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct reduced[2];
        std::memcpy(reduced, saved_, sizeof reduced);
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        active_ = syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~WithoutOverride()
    {
        if (active_)
            syscall(SYS_capset, &header_, saved_);
    }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool active_ = false;
};

TEST_F(EditorPage, FailedSaveKeepsTextAndFile)
{
    TStranka* page = open("old\n", "ro.txt");
    QTest::keyClicks(page->editor(), "new ");
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    {
        WithoutOverride guard;
        const QByteArray probe = QFile::encodeName(dir.filePath("probe"));
        const int fd = ::open(probe.constData(), O_CREAT | O_WRONLY, 0644);
        if (fd >= 0)
            close(fd);
        ASSERT_LT(fd, 0) << "the directory stays writable; the failure can't be staged";

        prompter.yesNo = {false, true};
        EXPECT_FALSE(page->save()); // No: no reason shown
        EXPECT_TRUE(prompter.errorTexts.empty());
        EXPECT_FALSE(page->save()); // Yes: the reason
        ASSERT_EQ(prompter.errorTexts.size(), 1u);
        EXPECT_FALSE(prompter.errorTexts[0].isEmpty());

        prompter.yesNo = {true, false};
        EXPECT_FALSE(page->confirmDiscard()); // Yes, save fails: keep the page
    }
    chmod(QFile::encodeName(dir.path()).constData(), 0755);
    ASSERT_EQ(prompter.questions.size(), 4u);
    EXPECT_EQ(prompter.questions[0].caption, "Korvalen");
    EXPECT_EQ(prompter.questions[0].text,
              "Súbor " + page->fileName() + " sa nepodarilo zapísať na disk ! \nChcete vediet viacej ?");
    EXPECT_EQ(prompter.questions[2].caption, "Otázka");
    EXPECT_TRUE(page->isModified());
    EXPECT_EQ(page->modifiedText(), "Modifikovaný");
    EXPECT_EQ(readFile(page->fileName()), QByteArray("old\n"));
}

TEST_F(EditorPage, ConfirmDiscard)
{
    struct Case {
        bool edit;
        bool answer;
        size_t questions;
        QByteArray fileAfter;
    };
    const Case cases[] = {
        {false, true, 0, "text"},
        {true, false, 1, "text"},
        {true, true, 1, "*text"},
    };
    for (const Case& c : cases) {
        prompter.questions.clear();
        TStranka* page = open("text");
        if (c.edit)
            QTest::keyClicks(page->editor(), "*");
        prompter.yesNo = {c.answer};
        EXPECT_TRUE(page->confirmDiscard());
        ASSERT_EQ(prompter.questions.size(), c.questions);
        if (c.questions) {
            EXPECT_EQ(prompter.questions[0].text, "Súbor " + page->fileName() + " bol zmenený, chcete ho uložiť ?");
        }
        EXPECT_EQ(readFile(page->fileName()), c.fileAfter);
        delete page;
    }
}

} // namespace
} // namespace vork::shell
