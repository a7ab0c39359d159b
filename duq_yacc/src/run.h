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

#include "vork/sinks.h"

#include <array>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace duq_yacc::detail {

// Thrown to end a run; carries the run status.
struct RunExit {
    int status;
};

// Fixed limits.
constexpr int kNtBase = 4096;        // symbol numbers from here on are nonterminals
constexpr int kTermLimit = 127;      // terminals, "$end" and "error" included
constexpr int kNontermLimit = 200;   // nonterminals, "$accept" included
constexpr int kNameSpace = 3000;     // characters of all names and literals
constexpr int kProdLimit = 300;      // productions, production 0 included
constexpr int kMemSize = 3700;       // words of productions plus state kernels
constexpr int kStateLimit = 500;
constexpr int kWorkLimit = 150;      // working-set entries (149 usable)
constexpr int kActSize = 2500;       // goto-row memory and the packed yyact
constexpr int kLookSetLimit = 300;   // distinct lookahead sets (299 usable)
constexpr int kTypeLimit = 63;       // type tags: a 6-bit field of the precedence word
constexpr int kLevelLimit = 63;      // precedence levels: also a 6-bit field
constexpr int kTokNameSize = 50;     // current token text, 49 usable
constexpr int kSetWords = 8;         // words of a lookahead set, 16 token bits each

// Codes of the parse-table actions while a state's row is being decided.
constexpr int kAcceptCode = 8191;
constexpr int kErrorCode = 8190;

// Precedence word: bits 0-1 associativity, 4-9 level, 10-15 type.
constexpr int kActFlag = 4;   // production flag: the rule has an action
constexpr int kRedFlag = 8;   // production flag: the rule is reduced somewhere
inline int assocOf(int w) { return w & 3; }
inline int levelOf(int w) { return (w >> 4) & 077; }
inline int typeOf(int w) { return (w >> 10) & 077; }
inline int withAssoc(int w, int a) { return (w & ~3) | a; }
inline int withLevel(int w, int l) { return (w & ~(077 << 4)) | (l << 4); }
inline int withType(int w, int t) { return (w & ~(077 << 10)) | (t << 10); }

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
                int debug, int slovak, const std::string& tokenFile);
    int recordedTokenCount() const { return static_cast<int>(recordedTokens_.size()); }

private:
    // ---- driver.cpp: messages, errors, files
    // Every text exists in English and Slovak; the run's language picks
    // the format, both take the same arguments.
    void message(const char* en, const char* sk, ...);
    // Reports, cleans up every file of the run and ends it with status 1.
    [[noreturn]] void fatal(const char* en, const char* sk, ...);
    // Reports and counts without ending the run (the grammar checks
    // collect all offenders first).
    void collected(const char* en, const char* sk, ...);
    void report(const char* fmt, va_list ap);
    [[noreturn]] void endCollected();
    void summary();
    void closeAll();
    void openFiles();
    void writeResults();

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
    void writeStateRow(int state);
    void writeGotos();
    void markGotoSources(int c);
    void hideProductions();

    // ---- packer.cpp
    void pack();
    int readNumber(int& value);
    void placeGoto(int i);
    void placeState(int i);
    void writeArray(const char* arrayName, const int* v, int n);

    // ---- output.cpp
    void writeHeader();
    void writeTail();

    vork::Sinks& sinks_;

    // Files and flags.
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
    bool protectTemps_ = false;  // the temporary names are the grammar's: never delete them
    std::vector<std::string> recordedTokens_;
    int srConflicts_ = 0;
    int rrConflicts_ = 0;

    // Symbols.
    std::vector<char> names_;
    std::array<Terminal, kTermLimit> tokset_{};
    int ntokens_ = 0;
    std::array<Nonterminal, kNontermLimit> nontrst_{};
    int nnonter_ = -1;
    std::vector<int> typeset_{0};  // tag names by type number, from 1
    int extval_ = 257;
    int ndefout_ = 3;
    int start_ = 0;
    int precLevel_ = 0;
    char tokname_[kTokNameSize] = {};
    int numbval_ = 0;

    // Productions.
    std::array<int, kMemSize> mem_{};
    int memTop_ = 0;  // first free word after the productions
    std::array<int, kProdLimit + 2> prdptr_{};
    std::array<int, kProdLimit + 2> levprd_{};
    int nprod_ = 1;

    // Automaton.
    int tbitset_ = 0;
    std::vector<LookSet> lkst_;
    std::vector<KernelItem> items_;  // kernels of all states, one after the other
    int itemCapacity_ = 0;
    std::array<int, kStateLimit + 2> pstate_{};
    std::array<int, kStateLimit> tystate_{};
    std::array<int, kStateLimit> mstates_{};
    std::array<int, kStateLimit> indgo_{};
    std::array<int, kStateLimit> defact_{};
    std::array<int, kTermLimit> tstates_{};
    std::array<int, kNontermLimit> ntstates_{};
    int nstate_ = 0;
    std::vector<WorkEntry> wsets_;
    std::vector<std::vector<int>> pres_;  // per nonterminal: first right-side words
    std::array<int, kNontermLimit> pempty_{};
    std::array<int, kNontermLimit> pfirst_{};
    std::array<int, kActSize> amem_{};
    LookSet clset_{};
    bool nolook_ = false;
    std::array<int, kTermLimit + kNontermLimit + 1> temp1_{};

    // Packer.
    std::vector<int> optMem_;
    std::vector<int> rowStart_;   // per state, plus the end
    std::vector<int> colStart_;   // per nonterminal 1.., plus the end
    std::array<int, kActSize> yyact_{};
    int maxa_ = 0;
    std::vector<int> yypact_;
    std::vector<bool> placed_;
    std::vector<int> yypgo_;
    std::vector<long long> greed_;
    std::vector<long long> ggreed_;
    int maxoff_ = 0;
};

} // namespace duq_yacc::detail
