// Arbitrary blocks fed to the record reader and the debug panel: nothing a
// generated compiler writes into the block may crash the environment or
// select a grammar line that is not there.
#include "vork/debuglink/debug_panel.h"
#include "vork/debuglink/record.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

using namespace vork::debuglink;

namespace {

struct Owner : DebugPanelOwner {
    bool grammarOk = true;
    void enableDebugCommands() override {}
    GrammarText loadGrammar() override
    {
        GrammarText g;
        g.ok = grammarOk;
        if (grammarOk)
            g.lines = {"%token A", "%%", "s : A ;"};
        else
            g.error = "missing";
        return g;
    }
    bool askYesNo(const std::string&, const std::string&) override { return true; }
    void showErrorText(const std::string&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DebugPanel panel;
    Owner owner;
    uint8_t block[kBlockSize] = {};
    while (size >= 12) {
        std::memcpy(block + 4, data, 12);
        owner.grammarOk = (data[0] & 0x80) == 0;
        Record r = readRecord(block);
        if (isRecordKind(r.kind))
            panel.show(r.kind, r.value1, r.value2, owner);
        int sel = panel.selectedGrammarItem();
        if (sel < -1 || sel >= static_cast<int>(panel.grammar().size()))
            std::abort();
        if (!panel.inputStream().empty())
            std::abort();
        data += 12;
        size -= 12;
    }
    return 0;
}
