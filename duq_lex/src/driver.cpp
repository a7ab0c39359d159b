// The entry point and the run's main sequence: phases, their progress lines,
// their storage, and how a run ends.
#include "duq_lex/lex_run.h"
#include "run.h"

#include "vork/files.h"
#include "vork/progdir.h"

#include <cstdarg>
#include <new>
#include <sys/stat.h>

namespace duq_lex {

int lex_run(vork::Sinks& sinks, const std::string& skeleton_file, const std::string& spec_file,
            const std::string& output_file, int slovak, int statistics, int optimise, int large,
            RuleLines* rule_lines)
{
    Run run(sinks, large);
    int status;
    try {
        status = run.execute(skeleton_file, spec_file, output_file, slovak, statistics, optimise);
    } catch (const RunExit& e) {
        status = e.status;
    } catch (const std::bad_alloc&) {
        // Working storage beyond the sized tables (texts, sets) ran out:
        // the run fails like any other allocation failure instead of
        // taking the caller down with it.
        sinks.lexError(slovak ? "Nedostatok volnej operacnej pamati" : "No free memory for state generation", -1);
        run.abandon();
        status = 1;
    }
    if (rule_lines)
        *rule_lines = run.ruleLines();
    return status;
}

int lex_rule_lines(const std::string& spec_file, RuleLines& lines, int large)
{
    vork::NullSinks sinks;
    Run run(sinks, large);
    int status;
    try {
        status = run.readOnly(spec_file);
    } catch (const RunExit& e) {
        status = e.status;
    } catch (const std::bad_alloc&) {
        run.abandon();
        status = 1;
    }
    lines = run.ruleLines();
    return status;
}

Run::~Run()
{
    if (in_)
        std::fclose(in_);
    if (outFile_)
        std::fclose(outFile_);
    if (skeleton_)
        std::fclose(skeleton_);
}

static Run::FileId idOf(const struct stat& st)
{
    Run::FileId id;
    id.valid = true;
    id.dev = st.st_dev;
    id.ino = st.st_ino;
    return id;
}

Run::FileId Run::idOfPath(const std::string& name, bool followLinks)
{
    struct stat st;
    int rc = followLinks ? ::stat(name.c_str(), &st) : ::lstat(name.c_str(), &st);
    return rc == 0 && S_ISREG(st.st_mode) ? idOf(st) : FileId();
}

Run::FileId Run::idOfStream(std::FILE* f)
{
    struct stat st;
    return f && ::fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode) ? idOf(st) : FileId();
}

void Run::abandon()
{
    if (in_) {
        std::fclose(in_);
        in_ = nullptr;
    }
    if (outFile_) {
        std::fclose(outFile_);
        outFile_ = nullptr;
    }
    if (skeleton_) {
        std::fclose(skeleton_);
        skeleton_ = nullptr;
    }
    // make would take a partial scanner, being newer than the
    // specification, for an up-to-date one.  Only the regular file this run
    // opened goes: never a device such as /dev/null, a symbolic link, or a
    // file that has been put under the same name meanwhile.
    if (outputId_.valid && idOfPath(outputName_, false) == outputId_)
        std::remove(outputName_.c_str());
    outputId_ = FileId();
}

void Run::checkStop()
{
    if (sinks_.stopRequested())
        fail();
}

// Ends the run with status 1.  Tables are released by the Run's destructor
// once the exit reaches lex_run.
void Run::fail()
{
    abandon();
    throw RunExit{1};
}

void Run::errorAt(int line, const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    std::string text = vork::vformat(fmt, ap);
    va_end(ap);
    sinks_.lexError(text, line);
    if (statistics_ == 1)
        statistics();
    largeHint();
    fail();
}

void Run::error(const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    std::string text = vork::vformat(fmt, ap);
    va_end(ap);
    sinks_.lexError(text, currentLine());
    if (statistics_ == 1)
        statistics();
    largeHint();
    fail();
}

void Run::specErrorAt(int line, const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    std::string text = vork::vformat(fmt, ap);
    va_end(ap);
    sinks_.lexError(text, line);
    ++syntaxErrors_;
    lastReportLine_ = line;
}

// The parser has read a rule to its end (accepted: without a syntax
// error).  A rule written without an action gets its warning here, unless
// its line has been reported already: a rule that lost its action to an
// open class, say, needs no second item.
void Run::ruleRead(bool accepted)
{
    int line = ruleWithoutAction_;
    ruleWithoutAction_ = 0;
    if (accepted && line > 0 && line != lastReportLine_)
        warningAt(line, "%s", tr("Rule without action: the text it matches is discarded",
                                 "Pravidlo bez akcie: text, ktory vyhovuje, sa zahodi"));
}

void Run::warningAt(int line, const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    std::string text = vork::vformat(fmt, ap);
    va_end(ap);
    sinks_.lexWarning(text, line);
    lastReportLine_ = line;
    if (outFile_)
        std::fflush(outFile_);
}

void Run::warning(const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    std::string text = vork::vformat(fmt, ap);
    va_end(ap);
    sinks_.lexWarning(text, currentLine());
    lastReportLine_ = currentLine();
    if (outFile_)
        std::fflush(outFile_);
}

void Run::message(const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    std::string text = vork::vformat(fmt, ap);
    va_end(ap);
    sinks_.message(text);
}

// A full table ended the run.  The line goes to the message list, not to
// the error list: it is advice, and the error and warning counters stay
// true to the specification.
void Run::largeHint()
{
    if (!largeHint_)
        return;
    largeHint_ = false;
    message("%s", tr("Try the large-tables mode (duq-lex --large, or \"Ve\xc4\xbek\xc3\xa9 tabu\xc4\xbeky\" in the IDE settings).",
                     "Skuste rezim velkych tabuliek (duq-lex --large, alebo \"Velke tabulky\" v nastaveniach prostredia)."));
}

const char* Run::hint(long value, long reset, const char* en, const char* sk) const
{
    return value == reset ? tr(en, sk) : "";
}

void Run::statistics()
{
    message("%s", tr("STATISTICS:", "STATISTICKE INFORMACIE :"));
    message(tr("%d/%d nodes(%%e), %d/%d positions(%%p)", "%d/%d uzly(%%e), %d/%d pozicie(%%p)"),
            nodesUsed_, static_cast<int>(limits_.nodes), positionsUsed_,
            static_cast<int>(limits_.positions));
    message(tr("%d/%d (%%n) states, %ld transitions,", "%d/%d (%%n) stavy, %ld prenosy,"),
            highestState_ + 1, static_cast<int>(limits_.states), totalTransitions_);
    message(tr("%d/%d packed char classes(%%k),", "%d/%d kompresovanych znakovych tried(%%k),"),
            packedUsed_, static_cast<int>(limits_.packedClasses));
    if (optimise_ == 1)
        message(tr("%d/%d packed transitions(%%a),", "%d/%d kompresovanych prenosov(%%a),"),
                transUsed_, static_cast<int>(limits_.transitions));
    message(tr("%d/%d output slots(%%o)", "%d/%d vystupnych pozicii(%%o)"), highestSlot_,
            static_cast<int>(limits_.output));
    std::fputs("\n\n", stdout);
    std::fflush(stdout);
}

// The skeleton is copied whole into the scanner: a device would never
// end, and a file beyond any real skeleton's size is no skeleton either.
void Run::checkSkeleton(vork::InputCheck why)
{
    if (why == vork::InputCheck::Ok)
        return;
    if (why == vork::InputCheck::TooLarge)
        error(tr("Lex driver , file: %s, too large (at most %s)", "Skeleton subor \"%s\" je prilis velky (najviac %s)."),
              skeletonName_.c_str(), vork::kMaxInputText);
    error(tr("Lex driver , file: %s, not found ", "Nemozno najst skeleton subor \"%s\"."), skeletonName_.c_str());
}

// Steps shared by a full run and a reading-only one: the specification is
// opened, read and parsed, and the definitions released.  A syntax error
// ends the run here.
void Run::readSpecification(const std::string& spec)
{
    specName_ = spec;
    // A directory opens, and a device may never end: only a regular file
    // of a sane size is a specification.
    vork::InputCheck why;
    in_ = vork::openInput(specName_, &why);
    vork::skipByteOrderMark(in_);
    specId_ = idOfStream(in_);
    if (why == vork::InputCheck::TooLarge)
        error(tr("Input file too large: %s (at most %s)", "Vstupny subor je prilis velky: %s (najviac %s)"),
              specName_.c_str(), vork::kMaxInputText);
    if (!in_ || !specId_.valid)
        error(tr("Can't read input file: %s", "Nemozno citat vstupny subor: %s"), specName_.c_str());
    skeletonId_ = idOfPath(skeletonName_);
    if (specName_ != "stdin")
        message(tr("Parsing input file \"%s\"... ", "Analyza vstupneho suboru \"%s\"... "),
                specName_.c_str());

    readChar();  // the initial newline leaves, the first character comes in

    bool ok = allocate(classPool_, 0) && allocate(packedPool_, limits_.packedClasses);
    classPool_.reserve(static_cast<size_t>(cap_.classPool));
    havePackedPool_ = ok;
    haveClassPool_ = true;
    haveDefinitionTables_ = true;
    startListPool_.reserve(static_cast<size_t>(cap_.startListPool));
    if (!ok)
        error("%s", tr("No free memory for starting actions", "Nedostatok volnej operacnej pamati"));
    startNames_.push_back("INITIAL");
    exclusive_.push_back(false);

    // A syntax error drops a rule; a scanner without it would be wrong, so
    // the run fails once the parser has reported every error it found.
    if (parse() != 0 || syntaxErrors_ > 0) {
        if (statistics_ == 1)
            this->statistics();
        largeHint();
        fail();
    }

    definitions_.clear();
    haveDefinitionTables_ = false;
}

// Only the reading phase, for the rule lines: the text it would write goes
// to /dev/null, which the failure path never removes (it is no regular
// file), and there is no skeleton to look for.
int Run::readOnly(const std::string& spec)
{
    for (int c = 0; c < 256; ++c)
        ctable_[c] = c < 128 ? c : 0;
    outputName_ = "/dev/null";
    readSpecification(spec);
    return 0;
}

int Run::execute(const std::string& skeleton, const std::string& spec, const std::string& output,
                 int slovak, int statistics, int optimise)
{
    // The reset: everything else starts at its member initialiser.
    for (int c = 0; c < 256; ++c)
        ctable_[c] = c < 128 ? c : 0;

    message("DUQ-Lex  Version 1.00 (VORK %s)", vork::versionString());
    skeletonName_ = skeleton;
    outputName_ = output;
    slovak_ = slovak;
    statistics_ = statistics;
    optimise_ = optimise;

    message("%s", tr("Initialization... ", "Inicializacia... "));
    {
        vork::InputCheck why;
        std::FILE* skeleton = vork::openInput(skeletonName_, &why);
        if (skeleton)
            std::fclose(skeleton);
        checkSkeleton(why);
    }

    readSpecification(spec);

    message("%s", tr("Computing tables... ", "Vypocet prekladovych tabuliek... "));
    long n = limits_.states;
    bool ok = havePackedPool_ && allocate(statePositions_, n) && allocate(stopOffset_, n) &&
         allocate(transBase_, n) && allocate(fallback_, n) && allocate(compressed_, n) &&
         allocate(nextState_, limits_.transitions) && allocate(nchar_, limits_.transitions) &&
         allocate(marks_, nodesUsed_ + 1) && allocate(followSet_, nodesUsed_ + 1) &&
         allocate(positions_, limits_.positions);
    if (!ok)
        error("%s", tr("No free memory for state generation", "Nedostatok volnej operacnej pamati"));
    for (int& f : followSet_)
        f = -1;

    if (!tailWritten_)
        writeYylexTail();
    buildMatchTable();
    section_ = 5;
    if (root_ >= 0)
        computeFollow(root_);
    buildStates();

    positions_ = {};
    marks_ = {};
    followSet_ = {};
    kind_ = {};
    left_ = {};
    right_ = {};
    parent_ = {};
    nullable_ = {};
    statePositions_ = {};
    startNames_ = {};
    exclusive_ = {};
    startListPool_ = {};
    classPool_ = {};

    message("%s", tr("Optimizing ", "Optimalizacia "));
    if (optimise_ == 0)
        message("%s", tr("Packing ", "Kompresia "));

    ok = allocate(verify_, limits_.output) && allocate(advance_, limits_.output) &&
         allocate(outputBase_, static_cast<long>(highestState_) + 2);
    if (!ok)
        error("%s", tr(" No free memory for final packing", "Nedostatok volnej operacnej pamati"));
    layout();
    writeCrank();
    writeSvec();
    if (optimise_ == 1)
        writeMatch();
    writeExtra();

    message("%s", tr("Writing C source... ", "Zapis generovanych suborov... "));
    copySkeleton();
    if (in_) {
        std::fclose(in_);
        in_ = nullptr;
    }
    bool writeFailed = std::ferror(outFile_) != 0;
    if (std::fclose(outFile_) != 0 || writeFailed) {
        outFile_ = nullptr;
        error(tr("Can't open output file: %s", "Nemozno otvorit vystupny subor: \"%s\""),
              outputName_.c_str());
    }
    outFile_ = nullptr;

    message(tr("Analyzer written to  \"%s\".", "Lexikalny analyzator bol zapisany do suboru \"%s\"."),
            outputName_.c_str());
    if (statistics_ == 1)
        this->statistics();
    message("%s", tr("Everything went OK! DUQ-lex done.", "Vsetko prebehlo v poriadku! Akcia ukoncena."));
    return 0;
}

} // namespace duq_lex
