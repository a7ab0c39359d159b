#include "vork/shell/commands.h"

#include "vork/debuglink/debug_session.h"
#include "vork/debuglink/stepping.h"

namespace vork::shell {

namespace {

std::vector<CommandInfo> buildTable()
{
    using C = Cmd;
    using S = Start;
    std::vector<CommandInfo> t = {
        {"HM_NovySubor", "Nový", C::NewFile, S::On, ""},
        {"HM_NewPrj", "Nový projekt", C::NewProject, S::On, ""},
        {"HM_OtoritSubor", "Otvoriť", C::OpenFile, S::On, ""},
        {"HM_OpenPrj", "Otvoriť projekt", C::OpenProject, S::On, ""},
        {"HM_UlozitSubor", "Uložiť", C::Save, S::Off, "Ctrl+S"},
        {"HM_UlozitAkoSubor", "Uložiť ako...", C::SaveAs, S::Off, ""},
        {"HM_UlozitVsetko", "Uložiť všetko", C::SaveAll, S::Off, ""},
        {"HM_UlozitPrj", "Uložiť projekt", C::SaveProject, S::OffProject, ""},
        {"HM_ExportHtml", "Exportovať do HTML ...", C::ExportHtml, S::Off, ""},
        {"HM_Zavriet", "Zavrieť", C::Close, S::Off, ""},
        {"HM_ZavrietVsetko", "Zavrieť Všetko", C::CloseAll, S::Off, ""},
        {"HM_ZavrietPrj", "Zavrieť projekt", C::CloseProject, S::OffProject, ""},
        {"HM_Koniec", "Koniec", C::Quit, S::On, ""},
        {"HM_Undo", "Späť", C::Undo, S::Off, "Ctrl+Z"},
        {"HM_Redo", "Znova", C::Redo, S::Off, "Ctrl+Y"},
        {"HM_Cut", "Vystrihnúť", C::Cut, S::Off, "Ctrl+X"},
        {"HM_Copy", "Kopírovať", C::Copy, S::Off, "Ctrl+C"},
        {"HM_Paste", "Prilepiť", C::Paste, S::Off, "Ctrl+V"},
        {"HM_SelectAll", "Vybrať všetko", C::SelectAll, S::Off, "Ctrl+A"},
        {"HM_Find", "Hľadať", C::Find, S::Off, "Ctrl+F"},
        {"HM_Replace", "Nahradiť", C::Replace, S::Off, "Ctrl+R"},
        {"HM_GoToLine", "Prejsť na riadok", C::GoToLine, S::Off, "Ctrl+G"},
        // On grammar and scanner pages; Ctrl+click does the same.
        {"HM_GoToDefinition", "Prejsť na definíciu", C::GoToDefinition, S::Off, "F2"},
        {"HM_Prehlad", "Prehľad", C::Outline, S::On, "", true},
        {"HM_PrjAdd", "Pridať súbor", C::AddFile, S::OffProject, ""},
        {"HM_PrjRem", "Odstániť súbor", C::RemoveFile, S::OffProject, ""},
        {"HM_PrjSet", "Nastaviť projekt", C::ProjectSettings, S::OffProject, ""},
        {"HM_PrjGenLex", "Generovať lexikálny analyzátor", C::GenLex, S::OffProject, ""},
        {"HM_PrjGenSynt", "Generovať syntaktický analyzátor", C::GenYacc, S::OffProject, ""},
        {"HM_PrjReBuild", "Generovat analyzátory znova (rebuild)", C::Rebuild, S::OffProject, ""},
        {"HM_PrjBuild", "Generovať analyzátory (build)", C::Build, S::OffProject, ""},
        {"HM_PrjMake", "Generovať prekladač (make)", C::Make, S::OffProject, ""},
        {"HM_PrjReMake", "Generovať znova prekladač (remake)", C::Remake, S::OffProject, ""},
        {"HM_PrjLadiaciRezim", "Ladiaci režim", C::DebugMode, S::OffProject, "", true},
        {"HM_PrjSettings", "Nastavenia ...", C::Settings, S::On, ""},
        {"HM_RunRun", "Spustiť", C::Run, S::OffProject, "F9"},
        {"HM_RunParam", "Argumenty ...", C::RunArguments, S::OffProject, ""},
        {"HM_RunHalt", "Ukončiť prekladač", C::Halt, S::Off, ""},
    };
    for (const auto& item : debuglink::kDebugViewItems)
        t.push_back({item.name, item.caption, C::DebugView, S::Off, "", true});
    const Cmd steps[] = {C::StepLex, C::StepSem, C::StepSyntaxError, C::StepReduction,
                         C::StepShift, C::StepState, C::StepFree};
    // F7 stops at the next state, the finest step; Shift+F5 lets the run go
    // on without stopping.
    for (size_t i = 0; i < debuglink::kStepCommands.size(); ++i)
        t.push_back({debuglink::kStepCommands[i].menuItem, debuglink::kStepCommands[i].caption, steps[i], S::Off,
                     steps[i] == C::StepState ? "F7" : steps[i] == C::StepFree ? "Shift+F5" : ""});
    // Looking back over the run's records while it is stopped.
    t.push_back({"HM_HistoriaSpat", "Predchádzajúci záznam", C::HistoryBack, S::Off, "Alt+Left"});
    t.push_back({"HM_HistoriaVpred", "Nasledujúci záznam", C::HistoryForward, S::Off, "Alt+Right"});
    const std::vector<CommandInfo> rest = {
        {"HM_JalRun", "Spustiť Jal", C::JalRun, S::OffProject, ""},
        {"HM_JalParam", "Argumenty ...", C::JalArguments, S::OffProject, ""},
        {"HM_OPrograme", "O Programe", C::About, S::On, ""},
        // Toolbar buttons; the text is the hint.
        {"BarStan_NewFile", "Nový súbor", C::NewFile, S::On, ""},
        {"BarStan_OpenFile", "Otvoriť súbor", C::OpenFile, S::On, ""},
        {"BarStan_SaveFile", "Uloziť súbor", C::Save, S::Off, ""},
        {"BarStan_SaveAs", "Uloziť ako", C::SaveAs, S::Off, ""},
        {"BarStan_SaveAll", "Uloziť všetko", C::SaveAll, S::Off, ""},
        {"BarStan_Zavriet", "Zavrieť súbor", C::Close, S::Off, ""},
        {"BarWork_Make", "Zostaviť exe", C::Make, S::OffProject, ""},
        {"BarWork_ReMake", "Znovu zostaviť", C::Remake, S::OffProject, ""},
        {"BarWork_Run", "Spustiť", C::Run, S::OffProject, ""},
        {"BarWork_RunParam", "Argumenty pre spustenie", C::RunArguments, S::OffProject, ""},
        {"BarWork_Stop", "Stop prekladača", C::Halt, S::Off, ""},
        {"BarWork_JalRun", "Spustiť Jal", C::JalRun, S::OffProject, ""},
        {"BarWork_JalParam", "Argumenty pre Jal", C::JalArguments, S::OffProject, ""},
        {"BarWork_Syntax", "Zvýraznenie syntaxe", C::Syntax, S::OffProject, ""},
    };
    t.insert(t.end(), rest.begin(), rest.end());
    for (size_t i = 0; i < debuglink::kStepCommands.size(); ++i)
        t.push_back({debuglink::kStepCommands[i].button, debuglink::kStepCommands[i].hint, steps[i], S::Off, ""});
    const std::vector<CommandInfo> project = {
        {"BarPrj_Open", "Otvoriť projekt", C::OpenProject, S::On, ""},
        {"BarPrj_Save", "Uložiť projekt", C::SaveProject, S::OffProject, ""},
        {"BarPrj_AddFile", "Pridať súbor do projektu", C::AddFile, S::OffProject, ""},
        {"BarPrj_RemFile", "Odobrať súbor z projektu", C::RemoveFile, S::OffProject, ""},
        {"BarPrj_Set", "Nastavenia projektu", C::ProjectSettings, S::OffProject, ""},
        {"BarPrj_Nastavenia", "Hlavné nastavenia", C::Settings, S::On, ""},
        {"BarPrj_Subory", "Správy", C::Messages, S::On, ""},
    };
    t.insert(t.end(), project.begin(), project.end());
    return t;
}

} // namespace

const std::vector<CommandInfo>& commandTable()
{
    static const std::vector<CommandInfo> table = buildTable();
    return table;
}

const CommandInfo* findCommand(const std::string& name)
{
    for (const CommandInfo& c : commandTable())
        if (name == c.name)
            return &c;
    return nullptr;
}

const std::vector<MenuInfo>& mainMenus()
{
    static const std::vector<MenuInfo> menus = {
        {"Súbor",
         {"HM_NovySubor", "HM_NewPrj", "HM_OtoritSubor", "HM_OpenPrj", "-", "HM_UlozitSubor", "HM_UlozitAkoSubor",
          "HM_UlozitVsetko", "HM_UlozitPrj", "HM_ExportHtml", "-", "HM_Zavriet", "HM_ZavrietVsetko",
          "HM_ZavrietPrj", "-", "HM_Koniec"}},
        {"Editovať",
         {"HM_Undo", "HM_Redo", "-", "HM_Cut", "HM_Copy", "HM_Paste", "-", "HM_SelectAll", "HM_Find", "HM_Replace",
          "HM_GoToLine", "HM_GoToDefinition"}},
        {"Zobraziť", {"HM_Prehlad"}},
        {"Projekt",
         {"HM_PrjAdd", "HM_PrjRem", "-", "HM_PrjSet", "-", "HM_PrjGenLex", "HM_PrjGenSynt", "HM_PrjReBuild",
          "HM_PrjBuild", "HM_PrjMake", "HM_PrjReMake", "-", "HM_PrjLadiaciRezim", "-", "HM_PrjSettings"}},
        {"Spustiť",
         {"HM_RunRun", "HM_RunParam", "-", "HM_RunHalt", "-", "HM_Hlasenia", "HM_LexJednotky",
          "HM_PosuvyRedukcie", "HM_SemAction", "-", "HM_AfterLexJed", "HM_AfterSemAction", "HM_AfterBadSyntax",
          "HM_AfterReduction", "HM_AfterPosuny", "HM_AfterStav", "HM_BezKrok", "-", "HM_HistoriaSpat",
          "HM_HistoriaVpred"}},
        {"Jal preklad", {"HM_JalRun", "HM_JalParam"}},
        {"Nápoveda", {"HM_OPrograme"}},
    };
    return menus;
}

const std::vector<ToolbarInfo>& toolbars()
{
    static const std::vector<ToolbarInfo> bars = {
        {"BarStandart", "Standart",
         {"BarStan_NewFile", "BarStan_OpenFile", "BarStan_SaveFile", "BarStan_SaveAs", "BarStan_SaveAll",
          "BarStan_Zavriet"}},
        {"BarHlavneMenu", "Hlavné menu", {}},
        {"BarWork", "Working",
         {"BarWork_Make", "BarWork_ReMake", "BarWork_Run", "BarWork_RunParam", "BarWork_Stop", "BarWork_JalRun",
          "BarWork_JalParam", "BarWork_Syntax"}},
        {"BarLadenie", "Ladenie",
         {"BarLad_PoLex", "BarLad_PoSemAct", "BarLad_PoSyntErr", "BarLad_PoReduk", "BarLad_PoPosun",
          "BarLad_PoStav", "BarLad_BezKrok"}},
        {"BarProjekt", "Projekt",
         {"BarPrj_Open", "BarPrj_Save", "BarPrj_AddFile", "BarPrj_RemFile", "BarPrj_Set", "BarPrj_Nastavenia",
          "BarPrj_Subory"}},
    };
    return bars;
}

const std::vector<const char*> kProjectCommands = {
    "HM_ZavrietPrj", "HM_PrjMake", "HM_PrjReMake", "HM_PrjReBuild", "HM_PrjBuild", "HM_PrjGenLex",
    "HM_PrjGenSynt", "HM_PrjLadiaciRezim", "HM_PrjAdd", "HM_PrjRem", "HM_PrjSet", "HM_UlozitPrj",
    "HM_RunRun", "HM_RunParam", "BarWork_Make", "BarWork_ReMake", "BarWork_Run", "BarWork_RunParam",
    "BarPrj_AddFile", "BarPrj_RemFile", "BarPrj_Set", "BarPrj_Save", "BarWork_Syntax",
};

const std::vector<const char*> kJalCommands = {"BarWork_JalRun", "HM_JalRun", "BarWork_JalParam", "HM_JalParam"};

const std::vector<const char*> kRunLockedCommands = {
    "HM_ZavrietPrj", "HM_RunRun", "BarWork_Run", "HM_PrjGenLex", "HM_PrjGenSynt", "HM_PrjMake",
    "HM_PrjReBuild", "HM_PrjBuild", "HM_PrjReMake", "HM_PrjLadiaciRezim", "BarWork_Make", "BarWork_ReMake",
};

const std::vector<const char*> kHaltCommands = {"HM_RunHalt", "BarWork_Stop"};

} // namespace vork::shell
