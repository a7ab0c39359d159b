// The texts the build, the compile and the run put in the message lists.
// Scripts compare them byte for byte, so they live in one place.
#pragma once

#include <string>

namespace vork::texts {

inline constexpr const char* kBuildStart = "=> štart [Analyzátory]";
inline constexpr const char* kExeStart = "=> štart [Exe]:";
inline constexpr const char* kSeparator = "-----------------------------------";
inline constexpr const char* kLexGeneration = "Generovanie lexikalneho analyzatora: ";
inline constexpr const char* kYaccGeneration = "Generovanie syntaktickeho analyzatora: ";
inline constexpr const char* kExeGeneration = "Generovanie spustitelneho prekladaca: ";
inline constexpr const char* kAllUpToDate = "Všetko je aktuálne. Netreba zostavovať.";
inline constexpr const char* kProgramUpToDate = "Program je aktuálny. Netreba zostavovať.";
inline constexpr const char* kParserError = "Parser detekoval chybu";
inline constexpr const char* kRunStarted = "Prekladač spustený ..";
// The "Parser" list's line after "Zastaviť" ended a generation or a compile.
inline constexpr const char* kStopped = "Zastavené používateľom.";
// The first of a run's lines under "Exe prekladač" once older ones had to
// go: kDroppedHead + their number + kDroppedTail.
inline constexpr const char* kDroppedHead = "... ";
inline constexpr const char* kDroppedTail = " starších riadkov vynechaných ...";
inline constexpr const char* kJalGeneration = "Generovanie z jal (Jal preklad)";
// kCompilerStartFailedHead + compiler path + kCompilerStartFailedTail: one
// item with the line break inside it.
inline constexpr const char* kCompilerStartFailedHead = "Externý prekladač\n";
inline constexpr const char* kCompilerStartFailedTail = " sa nepodarilo spustit !";
// Under the C compiler's own lines when it did not end with 0: a compiler
// killed by signal N (exit code 128 + N) may have written nothing at all.
inline constexpr const char* kCompilerFailedHead = "Externý prekladač skončil s kódom ";
inline std::string compilerFailed(int exitCode)
{
    return kCompilerFailedHead + std::to_string(exitCode) + ".";
}
// kRunStartFailedHead + executableName() + kRunStartFailedTail.
inline constexpr const char* kRunStartFailedHead = "Vygenerovaný prekladač ";
inline constexpr const char* kRunStartFailedTail = " sa nepodarilo spustiť !";
inline constexpr const char* kTempFileFailed = "Nepodarilo sa vytvorit dočasný súbor";
inline constexpr const char* kErrorCaption = "Chyba";

// Window title markers.
inline constexpr const char* kTitleLex = " [DUQ - LEX]";
inline constexpr const char* kTitleYacc = " [DUQ - YACC]";
inline constexpr const char* kTitleCompile = " [C prekladac]";
inline constexpr const char* kTitleRun = " [Spusteny]";

} // namespace vork::texts
