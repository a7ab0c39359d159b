#include "vork/debuglink/record.h"

#include "vork_chan.h"

namespace vork::debuglink {

const char* const kBlockName = VORK_CHAN_BLOCK_NAME;
const char* const kEventToCompiler = "VORK_PREK";
const char* const kEventFromCompiler = "PREK_VORK";

bool isRecordKind(uint32_t kind)
{
    return (kind >= 1 && kind <= 12) || kind == 20;
}

Record readRecord(const void* block)
{
    Record r;
    r.kind = vork_chan_get32(block, VORK_CHAN_OFF_KIND);
    r.value1 = static_cast<int32_t>(vork_chan_get32(block, VORK_CHAN_OFF_VALUE1));
    // Offset 12 belongs to a pop's record, and to a lexical unit's for the
    // scanner rule; for the others it may hold whatever an earlier record
    // left there.
    if (r.kind == static_cast<uint32_t>(RecordKind::RecoveryPops) ||
        r.kind == static_cast<uint32_t>(RecordKind::LexicalUnit))
        r.value2 = static_cast<int32_t>(vork_chan_get32(block, VORK_CHAN_OFF_VALUE2));
    return r;
}

int lexicalUnitRule(const Record& record)
{
    if (record.kind != static_cast<uint32_t>(RecordKind::LexicalUnit))
        return 0;
    const uint32_t v = static_cast<uint32_t>(record.value2);
    if ((v & ~VORK_LEX_RULE_MASK) != VORK_LEX_RULE_TAG)
        return 0;
    return static_cast<int>(v & VORK_LEX_RULE_MASK);
}

void writeReply(void* block, ReplyCode code)
{
    vork_chan_put32(block, VORK_CHAN_OFF_REPLY, static_cast<uint32_t>(code));
}

uint32_t readReply(const void* block)
{
    return vork_chan_get32(block, VORK_CHAN_OFF_REPLY);
}

} // namespace vork::debuglink
