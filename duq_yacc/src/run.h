// The state of one DUQ-yacc run and the phases that work on it.
//
// The generator keeps the classic fixed tables (their sizes are part of its
// behaviour: each overflow is an error that names the limit), but they live
// in this object instead of in globals, so every run starts from scratch and
// two runs never see each other.  A run ends by throwing RunExit, which the
// entry point catches.
//
// The members are grouped by the file that owns them: driver.cpp (files,
// messages, errors), grammar_scanner.cpp and grammar_reader.cpp and
// action_copy.cpp (symbols, productions, declarations), lalr.cpp (states),
// resolve.cpp (actions and conflicts), packer.cpp and output.cpp (tables).
#pragma once

#include "duq_yacc/automaton.h"
#include "vork/files.h"
#include "vork/sinks.h"

#include <array>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

namespace duq_yacc::detail {

// Thrown to end a run; carries the run status.
struct RunExit {
    int status;
};

constexpr int kNtBase = 4096;  // symbol numbers from here on are nonterminals

// The table sizes of one run.  The default sizes are the generator's
// classic ones (each overflow is an error that names its limit); the
// large-tables mode multiplies every one of them by 16, for grammars the
// size of a programming language's.
struct Limits {
    int terms;      // terminals, "$end" and "error" included
    int nonterms;   // nonterminals, "$accept" included
    int nameSpace;  // characters of all names and literals
    int prods;      // productions, production 0 included
    int mem;        // words of productions plus state kernels
    int states;
    int work;       // working-set entries (one less usable)
    int act;        // goto-row memory and the packed yyact
    int lookSets;   // distinct lookahead sets (one less usable)
    int types;      // type tags
    int levels;     // precedence levels
    int tokName;    // initial room for the current token text
};
constexpr Limits kDefaultLimits{127, 200, 3000, 300, 3700, 500, 150, 2500, 300, 63, 63, 50};
constexpr int kLargeFactor = 16;
constexpr Limits kLargeLimits{127 * kLargeFactor, 200 * kLargeFactor, 3000 * kLargeFactor,
                              300 * kLargeFactor,  3700 * kLargeFactor, 500 * kLargeFactor,
                              150 * kLargeFactor,  2500 * kLargeFactor, 300 * kLargeFactor,
                              63 * kLargeFactor,   63 * kLargeFactor,   50 * kLargeFactor};

// Words of a lookahead set, 16 token bits each: enough for the terminals
// of either mode.
constexpr int kSetWords = (kLargeLimits.terms + 16) / 16;
static_assert(kLargeLimits.terms < kNtBase, "terminal numbers stay below the nonterminals'");

// yypact and yypgo are written as C shorts, so no offset into yyact may
// exceed this, whatever the size of the array.
constexpr int kMaxOffset = 32767;

// Codes of the parse-table actions while a state's row is being decided.
constexpr int kAcceptCode = 8191;
constexpr int kErrorCode = 8190;
static_assert(kLargeLimits.states < kErrorCode, "a state number never reads as accept or error");

// Precedence word: bits 0-1 associativity, 4-15 level, 16-27 type (wide
// enough for the large-tables mode; bits 2 and 3 are the production flags).
constexpr int kActFlag = 4;   // production flag: the rule has an action
constexpr int kRedFlag = 8;   // production flag: the rule is reduced somewhere
constexpr int kFieldMask = 07777;
static_assert(kLargeLimits.types <= kFieldMask && kLargeLimits.levels <= kFieldMask, "fields hold the limits");
inline int assocOf(int w) { return w & 3; }
inline int levelOf(int w) { return (w >> 4) & kFieldMask; }
inline int typeOf(int w) { return (w >> 16) & kFieldMask; }
inline int withAssoc(int w, int a) { return (w & ~3) | a; }
inline int withLevel(int w, int l) { return (w & ~(kFieldMask << 4)) | (l << 4); }
inline int withType(int w, int t) { return (w & ~(kFieldMask << 16)) | (t << 16); }

// Token codes of the grammar scanner.
enum Token {
    kEndFile = 0,
    kIdentifier = 257,
    kMark,
    kTerm,
    kLeft,
    kRight,
    kBinary,
    kPrec,
    kLCurly,
    kCIdentifier,
    kNumber,
    kStart,
    kTypedef,
    kTypename,
    kUnion,
    kExpect,    // %expect N: the shift/reduce conflicts the grammar has
    kExpectRr,  // %expect-rr N: its reduce/reduce conflicts
    kAction = '=',
};

using LookSet = std::array<uint32_t, kSetWords>;

struct Terminal {
    int name = 0;   // offset in the name space
    int value = 0;  // token code
    int lev = 0;    // precedence word
};

struct Nonterminal {
    int name = 0;
    int type = 0;
};

struct KernelItem {
    int item = 0;  // index into mem: the symbol after the dot
    int look = -1; // stored lookahead set, -1 under "nolook"
};

struct WorkEntry {
    int item = 0;
    int flag = 0;
    LookSet set{};
};

class Run {
public:
    explicit Run(vork::Sinks& sinks) : sinks_(sinks) {}
    ~Run();
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    // driver.cpp
    int execute(const std::string& skeleton, const std::string& grammar, const std::string& output,
                int debug, int slovak, const std::string& tokenFile, int large);
    int recordedTokenCount() const { return static_cast<int>(recordedTokens_.size()); }

    // The automaton is recorded into *into while the actions are decided
    // (null: not recorded).  With stateFile named, the listing is written
    // there and each reported conflict is explained in the message list;
    // cexSeconds bounds the search for an ambiguous example per conflict.
    void recordAutomaton(Automaton* into) { capture_ = into; }
    void explainTo(const std::string& stateFile, double cexSeconds)
    {
        stateName_ = stateFile;
        cexSeconds_ = cexSeconds;
    }
    // Reads the grammar and decides the actions, writing no file; the
    // recorded automaton is the result.
    void analyseOnly() { analysisOnly_ = true; }
    // With a name, a successful run also writes the token header there:
    // the token defines and the value type, for the program's other files.
    void writeTokenHeaderTo(const std::string& headerFile) { headerName_ = headerFile; }
    // Writes yyparse as directly coded states instead of the skeleton's
    // table walk (a debug build keeps the skeleton and its reporting).
    void codeDirectly(bool on) { direct_ = on; }

private:
    // ---- driver.cpp: messages, errors, files
    // Every text exists in English and Slovak; the run's language picks
    // the format, both take the same arguments.
    void message(const char* en, const char* sk, ...);
    // Reports, cleans up every file of the run and ends it with status 1.
    [[noreturn]] void fatal(const char* en, const char* sk, ...);
    // fatal() for a full table: in the default mode the report is followed
    // by a line that points to the large-tables mode.
    [[noreturn]] void limit(const char* en, const char* sk, ...);
    [[noreturn]] void endFatal(bool full);
    void sizeTables(const Limits& lim);
    void removeOwnFiles();
    // Ends the run, as a failure without a report, when the caller asked
    // it to stop (the sinks' stopRequested()).
    void checkStop();
    [[noreturn]] void stopNow();
    // Reports and counts without ending the run (the grammar checks
    // collect all offenders first).
    void collected(const char* en, const char* sk, ...);
    void report(const char* fmt, va_list ap);
    [[noreturn]] void endCollected();
    void summary();
    void closeAll();
    void openFiles();
    void writeResults();
    void checkHeaderName();

    // ---- grammar_scanner.cpp
    int getc();
    void ungetc(int c);
    int gettok();
    int skipComment();
    int chfind(int mode, const char* s);
    int define(int nonterm, const char* s);
    int literalValue(const char* s);
    int stash(const char* s);
    const char* name(int offset) const { return &names_[static_cast<size_t>(offset)]; }
    const char* termName(int t) const { return name(tokset_[static_cast<size_t>(t)].name); }
    const char* ntName(int n) const { return name(nontrst_[static_cast<size_t>(n)].name); }
    int addType(const char* tag);

    // ---- grammar_reader.cpp
    void readGrammar();
    void readDeclarations(int& t);
    void readTokenList(int t, int& next);
    void readTypeList(int& next);
    void readRules();
    void writeDefines();
    void copyCode();
    void copyUnion();
    void putWord(int w);
    void noteUse(int sym);
    void checkDefaultAction();
    void nextProduction();

    // ---- action_copy.cpp
    void copyAction(int offset);
    int symbolType(int sym);
    void copyQuoted(int quote);
    void copyComment();

    // ---- lalr.cpp
    void groupProductions();
    void computeEmpty();
    void computeFirst();
    void generateStates();
    void closure(int state);
    void putItem(int item, const LookSet* set);
    int findState(int c);
    int storeSet(const LookSet& set);
    bool unite(LookSet& into, const LookSet& from) const;
    void addWork(int item, const LookSet& set);
    int packGotoRow(const int* row, int n);
    int amemAt(int i) const;

    // ---- resolve.cpp
    void decideActions();
    void resolveShiftReduce(int r, int t);
    int writeStateRow(int state);  // returns the state's default reduction
    void recordConflict(ConflictKind kind, int t, int r, int other, ConflictChoice choice, ConflictRule rule,
                        bool reported);
    void writeGotos();
    void markGotoSources(int c);
    void hideProductions();
    // %expect / %expect-rr: a count that differs is an error of the run.
    void checkExpectedConflicts();

    // ---- capture.cpp: the automaton for the listing and the library API
    void recordGrammar();
    void recordState(int state, int defaultReduction);
    int symbolIndex(int sym) const { return sym >= kNtBase ? ntokens_ + sym - kNtBase : sym - 1; }
    void explainConflicts();

    // ---- packer.cpp
    void pack();
    int readNumber(int& value);
    void placeGoto(int i);
    void placeState(int i);
    void writeArray(const char* arrayName, const int* v, int n);

    // ---- output.cpp
    void writeHeader();
    void writeTail();
    void spliceActions();
    void writeTokenHeader();
    // ---- direct.cpp: yyparse coded state by state from the written tables
    void writeDirectParser(const std::vector<int>& r2, const std::vector<int>& chk);
    // Every write to the parser file goes through these, which count its
    // lines: after a block copied from the grammar, returnToOutput() writes
    // the #line that gives the following lines their own number and name.
    void outText(const char* s);
    void outFormat(const char* fmt, ...);
    void outChar(int c);
    void returnToOutput();
    // name as it goes between the quotes of a # line directive: a quote or
    // a backslash in a file name is escaped, so the directive stays one
    // string and the compiler reads the name back as it is.
    static std::string lineDirectiveName(const std::string& name);

    vork::Sinks& sinks_;

    // Files and flags.
    Limits lim_ = kDefaultLimits;
    int large_ = 0;
    std::string skelName_, outName_, tokName_, grammarName_;
    std::FILE* finput_ = nullptr;
    std::FILE* ftable_ = nullptr;
    std::FILE* faction_ = nullptr;
    std::FILE* ftemp_ = nullptr;
    std::FILE* fdefine_ = nullptr;
    int pushback_ = -2;  // one character of look-back on finput_ (-2: none)
    int lang_ = 0;
    int debug_ = 0;
    int tokenFileFlag_ = 0;
    int nerrors_ = 0;
    int lineno_ = 1;
    int peekline_ = 0;
    bool summarized_ = false;
    // The files this run has created or truncated: only these are removed
    // when it fails.
    bool madeOut_ = false, madeTok_ = false;
    // The packed-table rows and the actions on their way to the parser:
    // files of this run alone, under names of their own in the current
    // directory.
    vork::WorkFile tableWork_, actionWork_;
    std::vector<std::string> recordedTokens_;
    int srConflicts_ = 0;
    int rrConflicts_ = 0;
    Automaton* capture_ = nullptr;
    std::vector<Conflict> rowConflicts_;  // of the state being decided
    std::vector<int> rowActions_;         // its row before the default is taken out
    std::string stateName_;
    double cexSeconds_ = 2.0;
    bool analysisOnly_ = false;
    bool madeState_ = false;
    int outLines_ = 0;     // newlines written to the parser file
    int outLast_ = '\n';   // the last character written there
    std::vector<long> actionEnds_;  // where each action ends in the action file
    std::string headerName_;        // the token header, "" for none
    bool direct_ = false;           // yyparse coded directly (--fast)
    std::vector<int> exca_;         // yyexca as written
    std::string headerDefines_;     // its defines, collected while reading
    std::string headerUnion_;       // the %union body, "" without one
    // %expect and %expect-rr: the counts (-1: not given) and their lines.
    int expectSr_ = -1, expectRr_ = -1;
    int expectSrLine_ = -1, expectRrLine_ = -1;

    // Symbols.
    std::vector<char> names_;
    std::vector<Terminal> tokset_;
    int ntokens_ = 0;
    std::vector<Nonterminal> nontrst_;
    std::vector<int> ntLine_;  // per nonterminal: the line of its first use
    int nnonter_ = -1;
    // Name to number, for the lookups while the grammar is read (a linear
    // search made a large grammar's reading quadratic).
    std::unordered_map<std::string, int> termByName_;
    std::unordered_map<std::string, int> ntByName_;
    std::vector<int> typeset_{0};  // tag names by type number, from 1
    int extval_ = 257;
    int ndefout_ = 3;
    int start_ = 0;
    int precLevel_ = 0;
    std::vector<char> tokname_;  // the current token's text; grows for long names
    int numbval_ = 0;

    // Productions.
    std::vector<int> mem_;
    int memTop_ = 0;  // first free word after the productions
    std::vector<int> prdptr_;
    std::vector<int> levprd_;
    std::vector<int> prodLine_;  // grammar line of each rule
    int nprod_ = 1;

    // Automaton.
    int tbitset_ = 0;
    std::vector<LookSet> lkst_;
    std::vector<KernelItem> items_;  // kernels of all states, one after the other
    int itemCapacity_ = 0;
    std::vector<int> pstate_;
    std::vector<int> tystate_;
    std::vector<int> mstates_;
    std::vector<int> indgo_;
    std::vector<int> defact_;
    std::vector<int> tstates_;
    std::vector<int> ntstates_;
    int nstate_ = 0;
    std::vector<WorkEntry> wsets_;
    std::vector<std::vector<int>> pres_;  // per nonterminal: first right-side words
    std::vector<int> pempty_;
    std::vector<int> pfirst_;
    std::vector<int> amem_;
    LookSet clset_{};
    bool nolook_ = false;
    std::vector<int> temp1_;

    // Packer.
    std::vector<int> optMem_;
    std::vector<int> rowStart_;   // per state, plus the end
    std::vector<int> colStart_;   // per nonterminal 1.., plus the end
    std::vector<int> yyact_;
    int maxa_ = 0;
    std::vector<int> yypact_;
    std::vector<int> offsetOwner_;  // per offset from kNoShifts + 1: a state placed there, or -1
    std::vector<int> yypgo_;
    std::vector<long long> greed_;
    std::vector<long long> ggreed_;
    int maxoff_ = 0;
};

} // namespace duq_yacc::detail
