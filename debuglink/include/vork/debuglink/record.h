// The debug record as it travels through the shared block, and the names of
// the three channel objects.
#pragma once

#include <cstdint>

namespace vork::debuglink {

// Record kinds (offset 4 of the block).  Any other value is not a record.
enum class RecordKind : uint32_t {
    SyntaxError = 1,
    StackOverflow = 2,
    RecoveryPops = 3,
    RecoveryDiscards = 4,
    Reduction = 5,
    State = 6,
    Shift = 7,
    LexicalUnit = 8,
    InputChar = 9,
    UnputChar = 10,
    AnalysisStart = 11,
    AnalysisEnd = 12,
    SemanticAction = 20,
};

// Reply codes (offset 0).
enum class ReplyCode : uint32_t { Continue = 13, RunFree = 14 };

// Names handed to TSharedMem and TUdal (TUdal appends ".Data").
extern const char* const kBlockName;        // "vork1000-zdiel"
extern const char* const kEventToCompiler;  // "VORK_PREK"
extern const char* const kEventFromCompiler; // "PREK_VORK"
constexpr uint32_t kBlockSize = 1024;

struct Record {
    uint32_t kind = 0;
    int32_t value1 = 0;
    int32_t value2 = 0; // read from the block for RecoveryPops and LexicalUnit only
};

// The scanner rule a LexicalUnit names in value 2 (1 = the first rule of
// the rules section), 0 when it names none: another kind, a unit the
// parser read at the end of the input, or a program that does not report
// rules (offset 12 then holds whatever an earlier record left there, which
// never carries the tag).
int lexicalUnitRule(const Record& record);

// Kinds 1 to 12 and 20; 0, 13 to 19 and everything above 20 are ignored.
bool isRecordKind(uint32_t kind);

// Reads the record in the first 16 bytes of the block (little-endian).
Record readRecord(const void* block);
void writeReply(void* block, ReplyCode code);
uint32_t readReply(const void* block);

} // namespace vork::debuglink
