// vork: the IDE, and its headless runner for scripts.  The commands live
// in their own files (see commands.h); this file only parses the command
// line and dispatches.
#include "commands.h"

#include "vork/progdir.h"

#include <cstdio>
#include <cstring>

using namespace vork::app;

namespace {

void printHelp(std::FILE* out)
{
    const Registry& r = Registry::instance();
    std::fprintf(out, "Použitie: vork [PROJEKT]\n");
    std::fprintf(out, "          vork PRÍKAZ [VOĽBY] ARGUMENTY [-- ARGUMENTY PROGRAMU]\n\nPríkazy:\n");
    for (const Command* c : r.commands()) {
        std::string head = c->name + (c->operands.empty() ? "" : " " + c->operands);
        std::fprintf(out, "  %-24s %s\n", head.c_str(), c->help.c_str());
    }
    std::fprintf(out, "\nVoľby:\n");
    std::fprintf(out, "  %-24s %s\n", "--yes", "odpovedať Áno na otázky");
    std::fprintf(out, "  %-24s %s\n", "--no", "odpovedať Nie na otázky (predvolené)");
    for (const Modifier* m : r.modifiers()) {
        std::string head = m->name + (m->value.empty() ? "" : " " + m->value);
        std::fprintf(out, "  %-24s %s\n", head.c_str(), m->help.c_str());
    }
    std::fprintf(out, "  %-24s %s\n", "--help", "táto pomoc");
    std::fprintf(out, "  %-24s %s\n", "--version", "verzia programu");
    for (const std::string& note : r.helpNotes())
        std::fprintf(out, "\n%s\n", note.c_str());
}

int usage(const char* what, const std::string& arg)
{
    std::fprintf(stderr, "vork: %s: %s\n", what, arg.c_str());
    std::fprintf(stderr, "Skúste 'vork --help'.\n");
    return kExitUsage;
}

} // namespace

int main(int argc, char** argv)
{
    const Registry& registry = Registry::instance();
    Invocation inv(argc, argv);
    const Command* command = nullptr;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            inv.passThrough.assign(argv + i + 1, argv + argc);
            break;
        }
        if (arg == "--help" || arg == "-h") {
            printHelp(stdout);
            return kExitOk;
        }
        if (arg == "--version") {
            std::printf("VORK %s\n", vork::versionString());
            return kExitOk;
        }
        if (arg == "--yes" || arg == "--no") {
            inv.answer = arg == "--yes";
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            if (const Command* c = registry.findCommand(arg)) {
                if (command && command != c)
                    return usage("len jeden príkaz naraz", arg);
                command = c;
                continue;
            }
            if (const Modifier* m = registry.findModifier(arg)) {
                std::string value;
                if (!m->value.empty()) {
                    if (i + 1 >= argc)
                        return usage("chýba hodnota voľby", arg);
                    value = argv[++i];
                }
                inv.modifiers[m->name] = value;
                continue;
            }
            return usage("neznáma voľba", arg);
        }
        inv.operands.push_back(arg);
    }

    if (!command) {
        if (registry.defaultRun())
            return registry.defaultRun()(inv);
        std::fprintf(stderr,
                     "vork: grafické prostredie ešte nie je zostavené; použite príkazy z 'vork --help'.\n");
        return kExitUsage;
    }
    const int n = static_cast<int>(inv.operands.size());
    if (n < command->minOperands || n > command->maxOperands)
        return usage("nesprávny počet argumentov", command->name);
    return command->run(inv);
}
