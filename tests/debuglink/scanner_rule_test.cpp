// The scanner rule a lexical unit names, as the block carries it, and what
// a debug session makes of it: the rule's line in the .l file.
#include "vork/debuglink/debug_session.h"
#include "vork/debuglink/record.h"
#include "vork_chan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

using namespace vork::debuglink;

namespace {

class NoPrompts : public DebugPrompts {
public:
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void showError(const std::string&) override {}
};

struct Wire {
    uint32_t kind;
    int32_t v1;
    std::optional<int32_t> v2; // none: the writer leaves offset 12 alone, as programs before rule reports did
};

constexpr int32_t tagged(int rule) { return static_cast<int32_t>(VORK_LEX_RULE_TAG | static_cast<uint32_t>(rule)); }

} // namespace

// Each case writes its records into one block in turn, as a program does,
// reads them back and hands them to a session; the last decides the rule.
TEST(ScannerRule, LexicalUnitNamesItsRuleOnlyWithTheTag)
{
    const uint32_t unit = static_cast<uint32_t>(RecordKind::LexicalUnit);
    const uint32_t pops = static_cast<uint32_t>(RecordKind::RecoveryPops);
    const uint32_t state = static_cast<uint32_t>(RecordKind::State);
    struct Case {
        const char* name;
        bool unitsAreRules;
        std::vector<Wire> records;
        int rule, line;
    };
    const Case cases[] = {
        {"a parser's unit", false, {{unit, 257, tagged(2)}}, 2, 13},
        {"a state left by a pop is no rule", false, {{pops, 4, 2}, {unit, 257, std::nullopt}}, 0, 0},
        {"the end of the input names no rule", false, {{unit, 0, 0}}, 0, 0},
        {"a rule the file lacks has no line", false, {{unit, 257, tagged(9)}}, 9, 0},
        {"a state after the unit", false, {{unit, 257, tagged(2)}, {state, 5, std::nullopt}}, 0, 0},
        {"a scanner-only program that names no rule in value 2", true, {{pops, 1, 1}, {unit, 1, std::nullopt}}, 1, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NoPrompts prompts;
        DebugSession session("t", nullptr, prompts);
        session.setScannerRules(ScannerRules({0, 12, 13, 15}, {}), c.unitsAreRules);
        uint8_t block[kBlockSize] = {};
        for (const Wire& w : c.records) {
            vork_chan_put32(block, VORK_CHAN_OFF_KIND, w.kind);
            vork_chan_put32(block, VORK_CHAN_OFF_VALUE1, static_cast<uint32_t>(w.v1));
            if (w.v2)
                vork_chan_put32(block, VORK_CHAN_OFF_VALUE2, static_cast<uint32_t>(*w.v2));
            const Record r = readRecord(block);
            if (r.kind == state)
                session.noteRecord(r);
            else
                session.showRecord(r);
        }
        EXPECT_EQ(session.unitRule(), c.rule);
        EXPECT_EQ(session.unitRuleLine(), c.line);
    }
}
