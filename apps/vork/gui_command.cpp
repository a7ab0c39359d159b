// vork without a command: the IDE window.  "vork PROJECT" opens the window
// with that project, as the environment's command line always did.
#include "commands.h"

#include "vork/project/configuration.h"
#include "vork/shell/form_main.h"
#include "vork/shell/icons.h"
#include "vork/shell/qt_slovak.h"
#include "vork/shell/prompter.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace vork::app {
namespace {

bool haveDisplay()
{
    for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* v = std::getenv(var);
        if (v && *v)
            return true;
    }
    return false;
}

int runWindow(Invocation& inv)
{
    if (!haveDisplay()) {
        std::fprintf(stderr, "vork: grafické prostredie potrebuje displej (DISPLAY alebo WAYLAND_DISPLAY); "
                             "bez neho použite príkazy z 'vork --help'.\n");
        return kExitUsage;
    }
    QApplication app(inv.argc(), inv.argv());
    // No display name: Qt would append it to every title, which already
    // says "VORK 1.5".
    QApplication::setApplicationName(QStringLiteral("VORK 1.5"));
    // The toolbar pictures the desktop's icon theme lacks come from VORK's
    // own theme, installed beside the program.
    vork::shell::useBundledIcons();
    // Qt's own buttons and dialogs speak Slovak, as the window does.
    vork::shell::QtSlovak qtSlovak;
    if (qtSlovak.loadCatalogue())
        QApplication::installTranslator(&qtSlovak);
    // Everything after the program name is the project file's name, blanks
    // included.
    QString project;
    for (const std::string& word : inv.operands) {
        if (!project.isEmpty())
            project += QLatin1Char(' ');
        project += QString::fromLocal8Bit(word.c_str());
    }
    vork::shell::ModalPrompter prompter;
    vork::shell::TForm_Main window(prompter, vork::programConfigFile());
    prompter.setParent(&window);
    window.show();
    window.startUp(project);
    return app.exec();
}

Registration reg([](Registry& r) {
    r.setDefault(&runWindow);
    r.addHelpNote("Bez príkazu vork otvorí okno prostredia, s projektom PROJEKT, ak je zadaný.");
});

} // namespace
} // namespace vork::app
