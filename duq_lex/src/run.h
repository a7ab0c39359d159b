// The state of one DUQ-Lex run.
//
// The generator is organised like a single-pass command-line tool: a reader,
// the scanner of the specification, the rule parser, the automaton builder,
// the packer and the writer all share one set of tables.  They live here, in
// one object per run, so that two runs in one process never see each other's
// leftovers.  Each phase is implemented in its own source file; this header
// only declares what they share.
#pragma once

#include "vork/files.h"
#include "vork/sinks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace duq_lex {

// Raised to end a run; lex_run turns it into its result.
struct RunExit {
    int status;
};

// Tokens of the specification scanner.  Single characters stand for
// themselves; the named tokens lie above the character range.
enum Token : int {
    T_CHAR = 257,
    T_CLASS,
    T_NEGCLASS,
    T_STRING,
    T_SECTION,
    T_STARTLIST,
    T_COUNT,
    T_ENDRULE,
    T_EMPTY,
};

// Parse-tree node kinds.  A kind of 1..127 is a character leaf.
enum NodeKind : int {
    N_CLASS = 128,
    N_NEGCLASS,
    N_STRCONT,
    N_STARTCOND,
    N_RULEALT,
    N_FINAL,
    N_EMPTY,
    N_CONCAT,
    N_STAR,
    N_QUEST,
    N_PLUS,
    N_CONTEXT,
    N_ALT,
    N_LINESTART,
    N_FINALCTX,
    N_CTXMARK,
};

// The large-tables mode multiplies every capacity that the generated file
// does not fix by this.
constexpr long kLargeFactor = 16;

// Size limits settable by %e %p %n %a %o %k, with their default values.
struct Limits {
    static constexpr long kNodes = 1000, kPositions = 2500, kStates = 500, kTransitions = 4000,
                          kOutput = 3000, kPackedClasses = 1000;
    explicit Limits(long factor = 1)
        : nodes(kNodes * factor), positions(kPositions * factor), states(kStates * factor),
          transitions(kTransitions * factor), output(kOutput * factor), packedClasses(kPackedClasses * factor)
    {
    }
    long nodes;
    long positions;
    long states;
    long transitions;
    long output;
    long packedClasses;
};

// Fixed capacities of the reading phase and of the automaton.
struct Capacities {
    explicit Capacities(int factor)
        : pushback(1000 * factor), tokenBuffer(1000 * factor), classPool(1000 * factor),
          maxDefinitions(40 * factor), definitionPool(1000 * factor), maxStartConditions(256 * factor),
          startNamePool(100 * factor), startListPool(256 * factor), parserStack(150 * factor),
          maxStatePositions(300 * factor), contextRules(100 * factor), tableCeiling((1L << 22) * factor)
    {
    }
    int pushback;
    int tokenBuffer;
    int classPool;
    int maxDefinitions;
    int definitionPool;
    int maxStartConditions;
    int startNamePool;
    int startListPool;
    int parserStack;
    int maxStatePositions;
    int contextRules;
    // Largest table a size directive may ask for; more counts as a failed
    // allocation rather than an attempt to take the machine's memory.
    long tableCeiling;
};

constexpr int kEof = -1;

// Storage of the tables whose size a directive sets.  A table is as big as
// its directive asks (%e 200000 is 200,000 nodes) while a run mostly uses
// its first entries; calloc hands over a fresh block whose pages the
// system zeroes when they are first touched, so the entries a run never
// reaches cost nothing, where filling them one by one wrote every page.
template <class T> struct ZeroedAllocator {
    static_assert(std::is_arithmetic<T>::value, "an all-zero block is a table of zeroes");
    using value_type = T;
    ZeroedAllocator() = default;
    template <class U> ZeroedAllocator(const ZeroedAllocator<U>&) noexcept {}
    T* allocate(std::size_t n)
    {
        void* p = std::calloc(n, sizeof(T));
        if (!p)
            throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t) noexcept { std::free(p); }
    // A new entry is already the zero it would be initialised to.
    template <class U> void construct(U*) noexcept {}
    template <class U, class... A> void construct(U* p, A&&... a)
    {
        ::new (static_cast<void*>(p)) U(std::forward<A>(a)...);
    }
    template <class U> bool operator==(const ZeroedAllocator<U>&) const noexcept { return true; }
    template <class U> bool operator!=(const ZeroedAllocator<U>&) const noexcept { return false; }
};
template <class T> using Table = std::vector<T, ZeroedAllocator<T>>;

struct Definition {
    std::string name;
    std::string text;
};

class Run {
public:
    Run(vork::Sinks& sinks, int large)
        : sinks_(sinks), large_(large != 0), defaults_(large_ ? kLargeFactor : 1), cap_(large_ ? kLargeFactor : 1),
          limits_(defaults_), contextRules_(static_cast<size_t>(cap_.contextRules), 0)
    {
    }
    ~Run();
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    int execute(const std::string& skeleton, const std::string& spec, const std::string& output,
                int slovak, int statistics, int optimise);
    // Reads and parses the specification without writing a scanner.
    int readOnly(const std::string& spec);
    void readSpecification(const std::string& spec);
    // Line of each rule read so far (see RuleLines in lex_run.h).
    const std::vector<int>& ruleLines() const { return ruleLines_; }
    void noteRuleLine(int rule, int line);

    // ---- reporting (driver.cpp) ------------------------------------------
    const char* tr(const char* en, const char* sk) const { return slovak_ ? sk : en; }
    [[noreturn]] void error(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    [[noreturn]] void errorAt(int line, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
    // An error in the specification that lets reading go on, so that one
    // run reports them all: an error item with the line; the run fails
    // once the whole specification has been read.
    void specErrorAt(int line, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
    void warning(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    void warningAt(int line, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
    void message(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    int currentLine() const { return eof_ ? -1 : line_; }
    // The "\nTry using %x num" hint while a limit still has its default.
    const char* hint(long value, long reset, const char* en, const char* sk) const;
    // Marks the error about to be reported as a full table that the
    // large-tables mode would make bigger (false: the specification sized
    // it itself); the run then names that mode after the error.
    void capacity(bool grows = true) { largeHint_ = grows && !large_; }
    void largeHint();
    // Zero-filled table of n entries; false (after the calloc warning) when
    // it cannot be had.
    template <class V> bool allocate(V& v, long n);
    void statistics();
    [[noreturn]] void fail();
    // Closes every stream and removes the output this run created or
    // truncated, so that a failed run never leaves a partial scanner behind.
    void abandon();
    // Ends the run like fail(), without a report, when the caller asked it
    // to stop (the sinks' stopRequested()).
    void checkStop();

    // ---- reader (reader.cpp) ---------------------------------------------
    int readChar();
    void pushChar(int c);
    void pushString(const std::string& s);
    bool readLine(std::string& line);
    int fetch();

    // ---- specification scanner (spec_scanner.cpp) ------------------------
    int scan();
    int scanDefinitions();
    int scanRules();
    int scanUserCode();
    void directive(const std::string& line);
    void startConditions(const std::string& line, bool exclusive);
    void translationTable(const std::string& line);
    void copyBlock();
    void copyRemainingLines();
    int readEscape();
    int scanString();
    int scanClass();
    int scanStartList();
    int storeStartList(const std::vector<int>& list);
    // The list of every inclusive start condition, which a rule without a
    // <...> prefix gets while exclusive ones exist; -1 when there are none.
    int inclusiveList();
    int ordinaryChar(int c);
    bool copyAction();
    void indentedLine();
    void updateNumbering(bool negated);
    int storeClassText(const std::string& text, const char* enFull, const char* skFull);
    void beginRulesSection();
    bool validChar(int c);

    // ---- output pieces (output.cpp) --------------------------------------
    void out(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    void outText(const std::string& s);
    void openOutput();
    void writeHeader();
    void writeYylexOpening();
    void writeSwitchHead();
    void writeYylexTail();
    void writeVstopHead();
    void writeVstopTail();
    void writeCrank();
    void writeSvec();
    void writeMatch();
    void writeExtra();
    void copySkeleton();
    // Ends the run, naming the reason, unless why is Ok.
    void checkSkeleton(vork::InputCheck why);

    // ---- parse tree (parse_tree.cpp) -------------------------------------
    int node(int kind, int left = 0, int right = 0);
    int copyTree(int n);
    bool isOperandKind(int kind) const;

    // ---- rule parser (rule_parser.cpp) -----------------------------------
    int parse();

    // ---- automaton (automaton.cpp) ---------------------------------------
    void mark(int n);
    void clearMarks();
    std::vector<int> takeMarked();
    void first(int n);
    void follow(int n);
    void computeFollow(int root);
    void packClass(int n);
    int addSet(const std::vector<int>& set);
    void buildStates();
    void stopList(int s);

    // ---- packing (packing.cpp) -------------------------------------------
    void buildMatchTable();
    void packState(int s, const std::vector<int>& chars, const std::vector<int>& targets,
                   bool hasClass);
    void layout();

    // ---- run state ---------------------------------------------------------
    vork::Sinks& sinks_;
    const bool large_;
    const Limits defaults_;  // what the size directives start from
    const Capacities cap_;
    bool largeHint_ = false;
    int slovak_ = 0;
    int statistics_ = 0;
    int optimise_ = 1;
    std::string skeletonName_, specName_, outputName_;
    std::FILE* in_ = nullptr;
    std::FILE* outFile_ = nullptr;
    std::FILE* skeleton_ = nullptr;
    // Identity of the files this run reads and of the output it opened; the
    // output is removed on failure only while it is still that regular file.
    struct FileId {
        bool valid = false;
        unsigned long long dev = 0, ino = 0;
        bool operator==(const FileId& o) const { return valid && o.valid && dev == o.dev && ino == o.ino; }
    };
    FileId specId_, skeletonId_, outputId_;
    static FileId idOfPath(const std::string& name, bool followLinks = true);
    static FileId idOfStream(std::FILE* f);
    Limits limits_;
    int section_ = 1;

    // reader
    int prev_ = '\n', cur_ = '\n', next_ = '\n';
    std::vector<int> pushback_;
    int line_ = 0;
    int lineStart_ = 0;  // line of the last line read line-wise
    int tokenLine_ = 0;  // line where the last token of the scanner began
    bool eof_ = false;
    long expansions_ = 0;  // definition expansions since the last file character

    // character translation
    int ctable_[256] = {};
    int charsetSize_ = 128;
    bool translation_ = false;

    // flags of the scanner and the writer
    bool headerWritten_ = false;
    bool tailWritten_ = false;
    bool openingWritten_ = false;
    bool switchHeadWritten_ = false;
    bool rulesBegin_ = false;
    bool startListJustReturned_ = false;
    bool countFlag_ = false;
    int breakComment_ = 0;
    bool pendingDefinitionText_ = false;
    std::string pendingText_;
    bool pendingNoTranslation_ = false;

    // token value
    int tokenChar_ = 0;
    long tokenCount_ = 0;
    std::string tokenText_;
    int tokenPool_ = 0;  // class text or start-list offset

    // definitions, start conditions, classes
    std::vector<Definition> definitions_;
    int definitionPoolUsed_ = 0;
    bool haveDefinitionTables_ = false;
    std::vector<std::string> startNames_;
    std::vector<bool> exclusive_;  // per start condition: declared by %x
    int startNamePoolUsed_ = 0;
    std::vector<int> startListPool_;  // lists of start condition + 1, each ended by 0
    std::vector<unsigned char> classPool_;  // class texts, each ended by 0
    bool haveClassPool_ = false;
    bool classMarks_[128] = {};
    int classNumber_[128] = {};
    int nextClassNumber_ = 1;
    int dotClass_ = -1;
    Table<unsigned char> packedPool_;
    int packedUsed_ = 0;
    bool havePackedPool_ = false;

    // rules and tree
    int ruleCounter_ = 1;
    std::vector<int> ruleLines_{0};
    bool contextFlag_ = false;
    Table<int> kind_, left_, right_, parent_;
    Table<unsigned char> nullable_;
    bool haveTree_ = false;
    int nodesUsed_ = 0;
    int root_ = -1;

    // parser
    int lookahead_ = -1;
    int errFlag_ = 0;
    // Syntax errors (reported or not) and the other errors of the
    // specification that let reading go on: any of them fails the run.
    int syntaxErrors_ = 0;
    int lastReportLine_ = 0;  // line of the last error or warning reported
    int ruleWithoutAction_ = 0;  // line of the rule being read, when it has no action
    void ruleRead(bool accepted);

    // automaton
    Table<unsigned char> marks_;
    std::vector<int> marked_;
    Table<int> followSet_;  // pool offset per node, -1 when none
    Table<int> positions_;  // the position pool
    int positionsUsed_ = 0;
    std::map<std::vector<int>, int> followIndex_;
    Table<int> statePositions_;  // pool offset per state
    int highestState_ = 0;
    int stopCounter_ = 1;
    Table<int> stopOffset_;
    std::vector<unsigned char> contextRules_;
    int currentState_ = 0;

    // packing
    int match_[128] = {};
    // The scanner looks transitions up by input code: the character itself,
    // or its %T number.  codes_ are the codes that characters 1..127 have,
    // ascending; codeMatch_ is the representative that yymatch gives a code.
    std::vector<int> codes_;
    int codeMatch_[257] = {};
    void reversedMatch(int* out) const;
    int representative(int code) const;
    Table<int> transBase_, fallback_;
    Table<unsigned char> compressed_;
    Table<int> nextState_;
    Table<int> nchar_;  // input codes, up to the %T size
    int transUsed_ = 0;
    long totalTransitions_ = 0;
    Table<int> verify_, advance_, outputBase_;
    int highestSlot_ = 0;
};

template <class V> bool Run::allocate(V& v, long n)
{
    v.clear();
    v.shrink_to_fit();
    if (n < 0 || n > cap_.tableCeiling) {
        warning("%s", tr("OOPS - calloc returns NULL", "Problem - 'calloc' vratil 'NULL'"));
        return false;
    }
    try {
        v.resize(static_cast<size_t>(n));
    } catch (const std::bad_alloc&) {
        warning("%s", tr("OOPS - calloc returns NULL", "Problem - 'calloc' vratil 'NULL'"));
        return false;
    }
    return true;
}

} // namespace duq_lex
