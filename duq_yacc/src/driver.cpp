// The run's main sequence, its messages, its error function and its files.
#include "run.h"

#include "duq_yacc/yacc_run.h"
#include "vork/progdir.h"

#include <cstdarg>
#include <memory>
#include <stdexcept>

namespace duq_yacc {
namespace detail {

namespace {
// The work files: "yacc-XXXXXX.tmp" and "yacc-XXXXXX.act".
const char* const kWorkPrefix = "yacc-";
const char* const kTempSuffix = ".tmp";
const char* const kActSuffix = ".act";

void closeFile(std::FILE*& f)
{
    if (f) {
        std::fclose(f);
        f = nullptr;
    }
}
} // namespace

Run::~Run()
{
    closeAll();
}

void Run::message(const char* en, const char* sk, ...)
{
    va_list ap;
    va_start(ap, sk);
    sinks_.message(vork::vformat(lang_ ? sk : en, ap));
    va_end(ap);
}

void Run::report(const char* fmt, va_list ap)
{
    ++nerrors_;
    sinks_.yaccError(vork::vformat(fmt, ap), lineno_);
}

void Run::fatal(const char* en, const char* sk, ...)
{
    va_list ap;
    va_start(ap, sk);
    report(lang_ ? sk : en, ap);
    va_end(ap);
    endFatal(false);
}

void Run::limit(const char* en, const char* sk, ...)
{
    va_list ap;
    va_start(ap, sk);
    report(lang_ ? sk : en, ap);
    va_end(ap);
    endFatal(true);
}

void Run::endFatal(bool full)
{
    summary();
    // A full table is no fault of the grammar; say where the room is.  The
    // line goes to the message list: it is advice, not a second error.
    if (full && !large_)
        message("Try the large-tables mode (duq-yacc --large, or \"Veľké tabuľky\" in the IDE settings).",
                "Skuste rezim velkych tabuliek (duq-yacc --large, alebo \"Velke tabulky\" v nastaveniach IDE).");
    removeOwnFiles();
    throw RunExit{1};
}

void Run::removeOwnFiles()
{
    // A failed run takes along every file it created or truncated, so that
    // a half-written parser never looks newer than its grammar; files it
    // did not touch stay as they were.
    closeAll();
    tableWork_.remove();
    actionWork_.remove();
    if (madeOut_)
        std::remove(outName_.c_str());
    if (madeTok_)
        std::remove(tokName_.c_str());
    if (madeState_)
        std::remove(stateName_.c_str());
    madeOut_ = madeTok_ = madeState_ = false;
}

void Run::checkStop()
{
    if (sinks_.stopRequested())
        stopNow();
}

void Run::stopNow()
{
    // Nothing is wrong with the grammar: no summary, no error, just no
    // parser and none of the files this run made.
    summarized_ = true;
    removeOwnFiles();
    throw RunExit{1};
}

void Run::collected(const char* en, const char* sk, ...)
{
    va_list ap;
    va_start(ap, sk);
    report(lang_ ? sk : en, ap);
    va_end(ap);
}

void Run::endCollected()
{
    // The grammar checks report every offender first.
    summary();
    removeOwnFiles();
    throw RunExit{1};
}

void Run::summary()
{
    // A fatal error in the packer comes after the regular summary; the
    // conflict counts are shown once.
    if (!summarized_ && (srConflicts_ || rrConflicts_)) {
        message("conflicts: ", "Konflikty: ");
        if (srConflicts_)
            message("%d shift/reduce", "%d posun/redukcia", srConflicts_);
        if (rrConflicts_)
            message("%d reduce/reduce", "%d redukcia/redukcia", rrConflicts_);
    }
    summarized_ = true;
    closeFile(ftemp_);
    closeFile(fdefine_);
}

void Run::closeAll()
{
    closeFile(finput_);
    closeFile(faction_);
    closeFile(fdefine_);
    closeFile(ftable_);
    closeFile(ftemp_);
}

void Run::openFiles()
{
    message("Initialization... ", "Inicializacia... ");
    // The grammar first: a run without a grammar (a LEX project's, say)
    // must not truncate an output name that may be the user's own file.
    // A device or a pipe could be read without end: only a plain file of a
    // sane size is a grammar.
    vork::InputCheck why;
    finput_ = vork::openInput(grammarName_, &why);
    vork::skipByteOrderMark(finput_);
    if (why == vork::InputCheck::NotRegular)
        fatal("input file is not a regular file", "vstupny subor nie je obycajny subor");
    if (why == vork::InputCheck::TooLarge)
        fatal("input file is too large (at most %s)", "vstupny subor je prilis velky (najviac %s)",
              vork::kMaxInputText);
    if (!finput_)
        fatal("cannot open input file", "nemozno otvorit vstupny subor");
    if (analysisOnly_) {
        // The reader writes declarations, actions and rows as it goes; an
        // analysis keeps none of them.
        ftable_ = std::fopen("/dev/null", "w");
        ftemp_ = std::fopen("/dev/null", "w");
        faction_ = std::fopen("/dev/null", "w");
        if (!ftable_ || !ftemp_ || !faction_)
            fatal("cannot open temp file", "nemozno otvorit docasny pracovny subor");
        return;
    }
    // The files opened for writing are truncated: none of them may be the
    // grammar or the skeleton, nor the one file both the parser and the
    // token file.
    if (tokenFileFlag_ && (vork::sameFile(tokName_, grammarName_) || vork::sameFile(tokName_, skelName_) ||
                           vork::sameFile(tokName_, outName_)))
        fatal("cannot open %s", "nemozno otvorit subor \"%s\"", tokName_.c_str());
    if (vork::sameFile(outName_, grammarName_) || vork::sameFile(outName_, skelName_))
        fatal("cannot open output ( table ) file", "nemozno otvorit vystupny subor \"%s\"", outName_.c_str());
    if (tokenFileFlag_) {
        fdefine_ = std::fopen(tokName_.c_str(), "w");
        if (!fdefine_)
            fatal("cannot open %s", "nemozno otvorit subor \"%s\"", tokName_.c_str());
        madeTok_ = true;
    }
    ftable_ = std::fopen(outName_.c_str(), "w");
    if (!ftable_)
        fatal("cannot open output ( table ) file", "nemozno otvorit vystupny subor \"%s\"", outName_.c_str());
    madeOut_ = true;
    // Created new, under names no other file has: a link or a file of the
    // user's that happens to be called like a work file is never touched.
    ftemp_ = tableWork_.create(kWorkPrefix, kTempSuffix);
    if (ftemp_)
        faction_ = actionWork_.create(kWorkPrefix, kActSuffix);
    if (!ftemp_ || !faction_)
        fatal("cannot open temp file", "nemozno otvorit docasny pracovny subor");
    writeHeader();
}

void Run::writeResults()
{
    message("Parser was written to \"%s\".", "Syntakticky analyzator bol zapisany do \"%s\".", outName_.c_str());
    if (tokenFileFlag_)
        message("Info file was written to \"%s\".", "Informacie boli zapisane do \"%s\".", tokName_.c_str());
    if (!headerName_.empty())
        message("Token header was written to \"%s\".", "Hlavickovy subor lexikalnych elementov bol zapisany do \"%s\".",
                headerName_.c_str());
    message("Everything went OK! DUQ-yacc done.", "Vsetko prebehlo v poriadku! Akcia ukoncena.");
}

int Run::execute(const std::string& skeleton, const std::string& grammar, const std::string& output,
                 int debug, int slovak, const std::string& tokenFile, int large)
{
    sinks_.message(vork::format("DUQ-yacc  Version 1.00 (VORK %s)", vork::versionString()));
    skelName_ = skeleton;
    outName_ = output;
    grammarName_ = grammar;
    lang_ = slovak ? 1 : 0;
    large_ = large ? 1 : 0;
    sizeTables(large_ ? kLargeLimits : kDefaultLimits);
    debug_ = debug ? 1 : 0;
    if (debug_) {
        tokenFileFlag_ = 1;
        tokName_ = tokenFile;
    }
    try {
        openFiles();
        checkHeaderName();
        readGrammar();
        message("Reading the specification... ", "Analyza specifikacneho suboru... ");
        tbitset_ = (ntokens_ + 16) / 16;
        message("Making tables... ", "Vypocet tabuliek... ");
        groupProductions();
        computeEmpty();
        computeFirst();
        message("Generating states... ", "Generovanie stavov ... ");
        generateStates();
        message("Writing tables and states... ", "Zapis tabuliek a stavov do suboru... ");
        decideActions();
        if (analysisOnly_) {
            closeAll();
            return 0;
        }
        writeGotos();
        hideProductions();
        summary();
        if (capture_ && (!stateName_.empty() || srConflicts_ || rrConflicts_))
            explainConflicts();
        checkExpectedConflicts();
        pack();
        writeTail();
        writeTokenHeader();
    } catch (const std::out_of_range& e) {
        // Every table access is checked; reaching this is a generator fault,
        // reported like the other internal errors rather than crashing.
        fatal("internal Yacc error: %s", "Interna chyba Yaccu: %s", e.what());
    }
    writeResults();
    closeAll();
    return 0;
}

void Run::sizeTables(const Limits& lim)
{
    lim_ = lim;
    auto size = [](std::vector<int>& v, int n) { v.assign(static_cast<size_t>(n), 0); };
    tokset_.assign(static_cast<size_t>(lim.terms), Terminal{});
    nontrst_.assign(static_cast<size_t>(lim.nonterms), Nonterminal{});
    ntLine_.assign(static_cast<size_t>(lim.nonterms), 0);
    tokname_.assign(static_cast<size_t>(lim.tokName), '\0');
    size(mem_, lim.mem);
    size(prdptr_, lim.prods + 2);
    size(levprd_, lim.prods + 2);
    size(prodLine_, lim.prods + 2);
    size(pstate_, lim.states + 2);
    size(tystate_, lim.states);
    size(mstates_, lim.states);
    size(indgo_, lim.states);
    size(defact_, lim.states);
    size(tstates_, lim.terms);
    size(ntstates_, lim.nonterms);
    size(pempty_, lim.nonterms);
    size(pfirst_, lim.nonterms);
    size(amem_, lim.act);
    size(temp1_, lim.terms + lim.nonterms + 1);
    size(yyact_, lim.act);
}

} // namespace detail

int yacc_run(vork::Sinks& sinks, const std::string& skeleton_file, const std::string& grammar_file,
             const std::string& output_file, int debug, int* token_count_out, int slovak,
             const std::string& token_file, const std::string& state_file, int large, double cex_seconds,
             const std::string& header_file, int fast)
{
    auto run = std::make_unique<detail::Run>(sinks);
    run->writeTokenHeaderTo(header_file);
    run->codeDirectly(fast != 0);
    Automaton automaton;
    if (!state_file.empty() || cex_seconds >= 0) {
        run->recordAutomaton(&automaton);
        run->explainTo(state_file, cex_seconds);
    }
    int status;
    try {
        status = run->execute(skeleton_file, grammar_file, output_file, debug, slovak, token_file, large);
    } catch (const detail::RunExit& e) {
        status = e.status;
    }
    if (token_count_out)
        *token_count_out = run->recordedTokenCount();
    return status;
}

} // namespace duq_yacc
