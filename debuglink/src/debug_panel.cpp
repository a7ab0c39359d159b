#include "vork/debuglink/debug_panel.h"

#include "vork/debuglink/record.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vork::debuglink {

const char* const kLabelTokenCode = "Kód lexikálnej jednotky:";
const char* const kLabelLexicalUnit = "Lexikálna jednotka:";
const char* const kLabelInputStream = "Vstupný prúd znakov:";
const char* const kPanelTabCaption = "Ladenie";
const char* const kGrammarOpenCaption = "Korvalen";
const char* const kGrammarOpenQuestion =
    "Nie je možné otvoriť zdrojový súbor syntaktického analyzátora \nChcete vedieť viac ?";

namespace {

const char* const kTraceSyntaxError = "Syntakticka chyba !";
const char* const kTraceStackOverflow = "Pretečený zásobnik syntaktického analyzátora !";
const char* const kTraceStart = "Start analyzy";
const char* const kTraceEndOk = "Syntaktická analýza skončila v poriadku";
const char* const kTraceEndError = "Syntaktická analýza skončila s chybou!";

} // namespace

GrammarText readGrammarFile(const std::string& path)
{
    GrammarText g;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        g.error = std::strerror(errno);
        return g;
    }
    std::string line;
    bool any = false;
    int c;
    while ((c = std::fgetc(f)) != EOF) {
        any = true;
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            g.lines.push_back(line);
            line.clear();
            any = false;
        } else {
            line.push_back(static_cast<char>(c));
        }
    }
    bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) {
        g.lines.clear();
        g.error = std::strerror(EIO);
        return g;
    }
    if (any) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        g.lines.push_back(line);
    }
    g.ok = true;
    return g;
}

void DebugPanel::startDisplay(DebugPanelOwner& owner)
{
    owner.enableDebugCommands();
    trace_.clear();
    trace_.push_back(traceMessage(static_cast<uint32_t>(RecordKind::AnalysisStart), 0, 0));
    grammar_.clear();
    selected_ = -1;
    GrammarText g = owner.loadGrammar();
    if (g.ok) {
        grammar_ = std::move(g.lines);
    } else if (owner.askYesNo(kGrammarOpenCaption, kGrammarOpenQuestion)) {
        owner.showErrorText(g.error);
    }
}

std::string traceMessage(uint32_t kind, int32_t value1, int32_t value2)
{
    switch (static_cast<RecordKind>(kind)) {
    case RecordKind::SyntaxError:
        return kTraceSyntaxError;
    case RecordKind::StackOverflow:
        return kTraceStackOverflow;
    case RecordKind::RecoveryPops:
        return "Error recovery pops state " + std::to_string(value1) + " uncovers " + std::to_string(value2);
    case RecordKind::RecoveryDiscards:
        return "Error recovery discards " + std::to_string(value1) + " uncovers";
    case RecordKind::AnalysisStart:
        return kTraceStart;
    case RecordKind::AnalysisEnd:
        return value1 == 0 ? kTraceEndOk : kTraceEndError;
    default:
        return std::string();
    }
}

void DebugPanel::show(uint32_t kind, int32_t value1, int32_t value2, DebugPanelOwner& owner)
{
    switch (static_cast<RecordKind>(kind)) {
    case RecordKind::SyntaxError:
    case RecordKind::StackOverflow:
    case RecordKind::RecoveryPops:
    case RecordKind::RecoveryDiscards:
    case RecordKind::AnalysisEnd:
        trace_.push_back(traceMessage(kind, value1, value2));
        break;
    case RecordKind::Reduction:
        stepLine_ = "REDUKCIA: " + std::to_string(value1);
        break;
    case RecordKind::Shift:
        stepLine_ = "POSUN: " + std::to_string(value1);
        break;
    case RecordKind::LexicalUnit:
        tokenCode_ = std::to_string(value1);
        break;
    case RecordKind::InputChar:
        if (value1 == 10) {
            characters_.clear();
        } else {
            // "%c" of the low byte: a zero byte ends the text, so it adds
            // nothing.
            char c = static_cast<char>(static_cast<uint32_t>(value1) & 0xFFu);
            if (c != '\0')
                characters_.push_back(c);
        }
        break;
    case RecordKind::UnputChar:
        if (!characters_.empty())
            characters_.pop_back();
        break;
    case RecordKind::AnalysisStart:
        startDisplay(owner);
        break;
    case RecordKind::SemanticAction:
        // Line value1 of the grammar file; any line the list does not have
        // leaves no item selected.
        if (value1 >= 1 && static_cast<uint64_t>(value1) <= grammar_.size())
            selected_ = value1 - 1;
        else
            selected_ = -1;
        break;
    case RecordKind::State:
    default:
        break;
    }
}

} // namespace vork::debuglink
