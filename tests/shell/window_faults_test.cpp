// Faults a user's machine produces, met through the window: a disk that
// fills up or a project directory that cannot be written while a page, the
// project or the window is being saved; a C compiler killed mid-compile; a
// generated compiler killed during a debug run.  Each must end with a
// clear message, the previous files as they were, and a window that goes
// on working once the fault is gone.
#include "window_fixture.h"

#include <QLineEdit>
#include <QTabWidget>

#include <csignal>
#include <dirent.h>
#include <sys/resource.h>

namespace vork::shell::test {
namespace {

using vork::test::exists;
using vork::test::listing;
using vork::test::readFile;
using vork::test::writeFile;

// The disk fills up for this whole process: a file may grow to at most
// limit bytes, and SIGXFSZ is ignored so that a write past it fails with
// EFBIG instead of ending the process.  The window cannot live in a forked
// child, so the limit is set here and the old one put back by end().
class FullDisk {
public:
    void begin(rlim_t limit)
    {
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_), 0);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        const struct rlimit full = {limit, old_.rlim_max};
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &full), 0);
        on_ = true;
    }
    void end()
    {
        if (!on_)
            return;
        on_ = false;
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    ~FullDisk() { end(); }

private:
    struct rlimit old_ = {};
    void (*oldHandler_)(int) = SIG_DFL;
    bool on_ = false;
};

// The project directory dir/p stops being writable, even for root: it is
// moved aside and a regular file takes its name.  end() puts it back.
class UnwritableDirectory {
public:
    explicit UnwritableDirectory(const TempDir& dir) : dir_(dir) {}
    void begin()
    {
        ASSERT_EQ(::rename((dir_ / "p").c_str(), (dir_ / "moved").c_str()), 0);
        writeFile(dir_ / "p", "");
        on_ = true;
    }
    void end()
    {
        if (!on_)
            return;
        on_ = false;
        ::unlink((dir_ / "p").c_str());
        ::rename((dir_ / "moved").c_str(), (dir_ / "p").c_str());
    }
    ~UnwritableDirectory() { end(); }

private:
    const TempDir& dir_;
    bool on_ = false;
};

enum class Fault { FullDisk, Unwritable };
enum class Action { SavePage, SaveProject, CloseWindow };

struct SaveCase {
    const char* what;
    Fault fault;
    Action action;
};

const SaveCase kSaveCases[] = {
    {"full disk, Uložiť", Fault::FullDisk, Action::SavePage},
    {"full disk, Uložiť projekt", Fault::FullDisk, Action::SaveProject},
    {"full disk, closing the window", Fault::FullDisk, Action::CloseWindow},
    {"unwritable directory, Uložiť", Fault::Unwritable, Action::SavePage},
    {"unwritable directory, Uložiť projekt", Fault::Unwritable, Action::SaveProject},
    {"unwritable directory, closing the window", Fault::Unwritable, Action::CloseWindow},
};

// The calculator example in dir/p; the project file's path.
QString copyCalcInto(const TempDir& dir)
{
    ::mkdir((dir / "p").c_str(), 0755);
    const std::string src = std::string(VORK_SOURCE_DIR) + "/examples/calc";
    for (const std::string& f : listing(src))
        writeFile(dir / ("p/" + f), readFile(src + "/" + f));
    return QString::fromStdString(dir / "p/calc.lyy");
}

// Runs the action; true when it reports success (the window closed, the
// save went through).
bool perform(TForm_Main& window, Action action)
{
    switch (action) {
    case Action::SavePage:
        return window.runCommand("HM_UlozitSubor") && !window.activePage()->isModified();
    case Action::SaveProject: {
        // Only a failure says something.
        ScriptedPrompter& prompter = static_cast<ScriptedPrompter&>(window.prompter());
        const size_t messages = prompter.messages.size();
        return window.runCommand("HM_UlozitPrj") && prompter.messages.size() == messages;
    }
    case Action::CloseWindow:
        return window.close();
    }
    return false;
}

bool contains(const std::vector<ScriptedPrompter::Shown>& shown, const QString& caption, const QString& text)
{
    for (const ScriptedPrompter::Shown& s : shown)
        if (s.caption == caption && s.text == text)
            return true;
    return false;
}

TEST_F(WindowTest, ASaveThatHitsAFaultSaysSoKeepsTheOldFilesAndTheWindowWorks)
{
    for (const SaveCase& c : kSaveCases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        auto w = makeWindow(prompter, dir);
        prompter = ScriptedPrompter();
        ::mkdir((dir / "config").c_str(), 0755);
        writeFile(dir / "config/konfig.ide", "1\r\n0\r\n1\r\n0\r\ncc\r\nMono\r\n9\r\n0\r\n");
        ASSERT_TRUE(w->openProject(copyCalcInto(dir), false));
        const std::string grammar = dir / "p/calc.y";
        TStranka* page = w->findPage(QString::fromStdString(grammar));
        ASSERT_TRUE(page);
        w->editPanel()->setCurrentWidget(page);
        page->editor()->moveCursor(QTextCursor::End);
        page->editor()->insertPlainText("/* pridane */\n");
        w->project()->setRunArguments("nove.txt");

        const std::string projectBefore = readFile(dir / "p/calc.lyy");
        const std::string grammarBefore = readFile(grammar);
        const std::string configBefore = readFile(dir / "config/konfig.ide");
        const std::vector<std::string> filesBefore = listing(dir / "p");
        const QString title = w->windowTitle();

        FullDisk disk;
        UnwritableDirectory blocked(dir);
        // A failed page save asks whether to see why: Yes.
        prompter.yesNo = {true};
        if (c.fault == Fault::FullDisk)
            disk.begin(8);
        else
            blocked.begin();
        const bool done = perform(*w, c.action);
        disk.end();
        blocked.end();

        EXPECT_FALSE(done);
        const QString projectMessage = QString::fromUtf8("Nie je možné zapísať projekt súbor ") +
                                       QString::fromStdString(dir / "p/calc.lyy");
        const QString pageQuestion = QString::fromUtf8("Súbor ") + QString::fromStdString(grammar) +
                                     QString::fromUtf8(" sa nepodarilo zapísať na disk ! \nChcete vediet viacej ?");
        if (c.action == Action::SavePage) {
            EXPECT_TRUE(contains(prompter.questions, "Korvalen", pageQuestion));
            EXPECT_EQ(prompter.errorTexts.size(), 1u) << "the failure's own text";
        } else
            EXPECT_TRUE(contains(prompter.messages, "Korvalen", projectMessage));
        EXPECT_EQ(readFile(dir / "p/calc.lyy"), projectBefore);
        EXPECT_EQ(readFile(grammar), grammarBefore);
        EXPECT_EQ(readFile(dir / "config/konfig.ide"), configBefore);
        EXPECT_EQ(listing(dir / "p"), filesBefore) << "no temporary file is left";
        EXPECT_EQ(listing(dir / "config"), std::vector<std::string>{"konfig.ide"});

        // Nothing typed is lost: the project and its pages stay, the page
        // is still modified.
        ASSERT_TRUE(w->project());
        ASSERT_EQ(w->activePage(), page);
        EXPECT_TRUE(page->isModified());
        EXPECT_EQ(w->statusText(1), QString::fromUtf8("Modifikovaný"));
        EXPECT_TRUE(page->editor()->toPlainText().endsWith("/* pridane */\n"));
        EXPECT_EQ(w->windowTitle(), title);

        // The fault is gone: the page is edited and saved, a build runs,
        // and the action goes through.
        page->editor()->insertPlainText("/* este */\n");
        ASSERT_TRUE(w->runCommand("HM_UlozitSubor"));
        EXPECT_FALSE(page->isModified());
        EXPECT_EQ(w->statusText(1), "");
        EXPECT_NE(readFile(grammar).find("/* pridane */\n/* este */\n"), std::string::npos);
        ASSERT_TRUE(w->runCommand("HM_PrjReBuild"));
        EXPECT_EQ(w->chybovyBox()->count(), 0) << items(w->chybovyBox()).join('\n').toStdString();
        EXPECT_TRUE(exists(dir / "p/lexyy.cpp"));
        EXPECT_TRUE(exists(dir / "p/calc.cpp"));
        EXPECT_TRUE(perform(*w, c.action));
        if (c.action != Action::SavePage) {
            EXPECT_NE(readFile(dir / "p/calc.lyy").find("\r\nnove.txt\r\n"), std::string::npos);
        }
        if (c.action == Action::CloseWindow) {
            EXPECT_NE(readFile(dir / "config/konfig.ide"), configBefore);
        }
        w->closeProject();
    }
}

// konfig.ide is written when the window closes; a full disk then leaves the
// old file as it was and no temporary file, and the window closes.
TEST_F(WindowTest, ClosingOnAFullDiskKeepsTheOldKonfigIde)
{
    ::mkdir((dir / "config").c_str(), 0755);
    const std::string old = "1\r\n0\r\n1\r\n0\r\ncc\r\nMono\r\n9\r\n0\r\n";
    writeFile(dir / "config/konfig.ide", old);
    window->configuration().cCompilerPath = std::string(200, 'c');
    FullDisk disk;
    disk.begin(8);
    const bool closed = window->close();
    disk.end();
    EXPECT_TRUE(closed);
    EXPECT_EQ(readFile(dir / "config/konfig.ide"), old);
    EXPECT_EQ(listing(dir / "config"), std::vector<std::string>{"konfig.ide"});
}

// The C compiler dies by a signal in the middle of its work, after leaving
// half an executable: F9 shows it under "Exe prekladač", gives the
// commands back, and the next F9 with a working compiler makes and runs.
TEST_F(WindowTest, AKilledCompilerIsShownAndTheNextMakeWorks)
{
    const QString project = copyExample("calc", "calc.lyy");
    const std::string killer = dir / "killed-cc.sh";
    writeFile(killer, "#!/bin/sh\nfor last in \"$@\"; do :; done\necho compiling\n"
                      "printf '#!/bin/sh\\n' > \"${last%.*}.exe\"\nkill -KILL $$\n");
    ::chmod(killer.c_str(), 0755);
    const std::string good = dir / "cc.sh";
    writeFile(good, "#!/bin/sh\nfor last in \"$@\"; do :; done\nexe=\"${last%.*}.exe\"\n"
                    "printf '#!/bin/sh\\necho hotovo\\n' > \"$exe\"\nchmod +x \"$exe\"\n");
    ::chmod(good.c_str(), 0755);

    ASSERT_TRUE(window->openProject(project, false));
    const QString title = window->windowTitle();
    window->configuration().cCompilerPath = killer;
    ASSERT_TRUE(window->runCommand("HM_RunRun"));
    ASSERT_TRUE(waitFor([&] { return idle(); }));
    EXPECT_EQ(window->pageCtrl()->currentIndex(), 1);
    const QStringList exe = items(window->taskListExe());
    EXPECT_TRUE(exe.contains("compiling")) << exe.join('|').toStdString();
    EXPECT_TRUE(exe.contains(QString::fromUtf8("Externý prekladač skončil s kódom 137.")))
        << exe.join('|').toStdString();
    EXPECT_FALSE(exists(dir / "calc.exe")) << "the half executable is removed";
    EXPECT_FALSE(items(window->taskList()).contains(QString::fromUtf8("Prekladač spustený ..")));
    EXPECT_EQ(window->windowTitle(), title);
    EXPECT_TRUE(window->QWidget::isEnabled());
    for (const char* name : {"HM_RunRun", "HM_PrjMake", "BarWork_Make", "HM_ZavrietPrj"})
        EXPECT_TRUE(window->isEnabled(name)) << name;
    EXPECT_FALSE(window->isEnabled("HM_RunHalt"));

    window->configuration().cCompilerPath = good;
    ASSERT_TRUE(window->runCommand("HM_RunRun"));
    ASSERT_TRUE(waitFor([&] { return idle() && items(window->taskListExe()).contains("hotovo"); }))
        << items(window->taskListExe()).join('|').toStdString();
    EXPECT_FALSE(items(window->taskListExe()).contains(QString::fromUtf8("Externý prekladač skončil s kódom 137.")));
    EXPECT_EQ(window->windowTitle(), title);
}

// The pid of the running program at path (its /proc/N/exe), or 0.
pid_t processOf(const std::string& path)
{
    pid_t found = 0;
    DIR* d = ::opendir("/proc");
    if (!d)
        return 0;
    while (const dirent* e = ::readdir(d)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(e->d_name));
        if (pid <= 0)
            continue;
        char target[4096];
        const std::string link = "/proc/" + std::string(e->d_name) + "/exe";
        const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
        if (n > 0 && std::string(target, static_cast<size_t>(n)) == path)
            found = pid;
    }
    ::closedir(d);
    return found;
}

struct KillCase {
    const char* what;
    // Brings a run stopped at "Start analyzy" to the state of the case.
    std::function<bool(TForm_Main&)> reach;
    const char* marker;
};

const char* const kStepCommands[] = {"HM_AfterLexJed", "HM_AfterSemAction", "HM_AfterBadSyntax", "HM_AfterReduction",
                                     "HM_AfterPosuny",  "HM_AfterStav",      "HM_BezKrok",        "BarLad_PoLex",
                                     "BarLad_PoReduk",  "BarLad_BezKrok"};

// The generated compiler is killed while a debug run is stopped and while
// it runs (free, waiting for its input): the run ends as any other, and a
// new debug run works.
TEST_F(WindowTest, AGeneratedCompilerKilledDuringADebugRunEndsTheRun)
{
    const KillCase cases[] = {
        {"stopped", [](TForm_Main&) { return true; }, "[Zastaveny]"},
        {"running",
         [](TForm_Main& w) {
             return w.runCommand("HM_BezKrok") && waitFor([&] { return w.windowTitle().endsWith("[Spusteny]"); });
         },
         "[Spusteny]"},
    };
    ASSERT_TRUE(window->openProject(copyExample("calc", "calc.lyy"), false));
    ASSERT_TRUE(window->runCommand("HM_PrjLadiaciRezim"));
    // No arguments: calc reads its standard input, so a free run waits.
    window->project()->setRunArguments("");
    const QString title = window->windowTitle();
    const std::string program = dir / "calc.exe";
    auto startStopped = [&] {
        return window->runCommand("HM_RunRun") && waitFor([&] { return window->windowTitle().endsWith("[Zastaveny]"); });
    };
    for (const KillCase& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(startStopped());
        ASSERT_TRUE(c.reach(*window));
        EXPECT_TRUE(window->windowTitle().endsWith(c.marker)) << window->windowTitle().toStdString();
        const pid_t pid = processOf(program);
        ASSERT_GT(pid, 0);
        ASSERT_EQ(::kill(pid, SIGKILL), 0);
        ASSERT_TRUE(waitFor([&] { return idle(); }, 10000));
        QApplication::processEvents();

        EXPECT_EQ(window->windowTitle(), title);
        for (const char* name : kStepCommands)
            EXPECT_FALSE(window->isEnabled(name)) << name;
        for (const char* name : {"HM_RunHalt", "BarWork_Stop", "HM_HistoriaSpat"})
            EXPECT_FALSE(window->isEnabled(name)) << name;
        for (const char* name : {"HM_RunRun", "HM_PrjMake", "HM_ZavrietPrj", "HM_PrjLadiaciRezim"})
            EXPECT_TRUE(window->isEnabled(name)) << name;
        EXPECT_FALSE(window->exeInput()->isEnabled());
    }

    // A new debug run stops, steps and runs to its end.
    ASSERT_TRUE(startStopped());
    EXPECT_TRUE(window->isEnabled("HM_AfterLexJed"));
    ASSERT_TRUE(window->runCommand("HM_BezKrok"));
    window->exeInput()->setText("6 * 7");
    QMetaObject::invokeMethod(window->exeInput(), "returnPressed");
    ASSERT_TRUE(waitFor([&] { return items(window->taskListExe()).contains("42"); }))
        << items(window->taskListExe()).join('|').toStdString();
    window->project()->closeRunInput();
    ASSERT_TRUE(waitFor([&] { return idle(); }));
    EXPECT_EQ(window->windowTitle(), title);
}

} // namespace
} // namespace vork::shell::test
