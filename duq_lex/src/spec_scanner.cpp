// The scanner of the specification.  One function serves all sections: the
// definitions are read line by line, the rules character by character, the
// user code is copied.  On the way it writes the user's code, the
// start-condition constants and every rule's action straight into the
// output, and keeps the character class numbering up to date.
#include "run.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace duq_lex {

namespace {

bool isBlank(int c) { return c == ' ' || c == '\t'; }
bool isOctal(int c) { return c >= '0' && c <= '7'; }
bool isDigit(int c) { return c >= '0' && c <= '9'; }
bool isLetter(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Values of size directives and repetition counts stop growing here, so
// that a long digit run cannot overflow.
constexpr long kNumberCeiling = 1000000000L;

long digitsValue(const std::string& s, size_t i)
{
    long v = 0;
    while (i < s.size() && isDigit(static_cast<unsigned char>(s[i]))) {
        if (v < kNumberCeiling)
            v = v * 10 + (s[i] - '0');
        ++i;
    }
    return v;
}

// atoi over a line: optional blanks, an optional sign, digits.
long leadingNumber(const std::string& s, size_t i)
{
    while (i < s.size() && isBlank(static_cast<unsigned char>(s[i])))
        ++i;
    bool minus = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        minus = s[i] == '-';
        ++i;
    }
    long v = digitsValue(s, i);
    return minus ? -v : v;
}

} // namespace

int Run::scan()
{
    if (section_ == 1)
        return scanDefinitions();
    if (section_ == 2)
        return scanRules();
    return scanUserCode();
}

// A character that a pattern can hold.  The automaton and the class tables
// cover the codes 1..127 only; anything else is left out with a warning
// rather than being folded onto another code.
bool Run::validChar(int c)
{
    if (c >= 1 && c <= 127)
        return true;
    warning(tr("Character %o outside 1..127 ignored", "Znak %o mimo rozsahu 1..127 bol vynechany"),
            static_cast<unsigned>(c));
    return false;
}

// ---- definitions section ---------------------------------------------------

int Run::scanDefinitions()
{
    if (pendingDefinitionText_) {
        pendingDefinitionText_ = false;
        tokenLine_ = lineStart_;
        if (pendingNoTranslation_)
            warningAt(lineStart_, "%s",
                      tr("No translation given - null string assumed",
                         "Nebol zadany ziadny preklad - berieme 'null' retazec"));
        tokenText_ = pendingText_;
        return T_STRING;
    }
    std::string line;
    for (;;) {
        if (!readLine(line)) {
            if (!tailWritten_)
                writeYylexTail();
            copyRemainingLines();
            return 0;
        }
        if (!line.empty() && isBlank(static_cast<unsigned char>(line[0]))) {
            openOutput();
            outText(line);
            out("\n");
            continue;
        }
        tokenLine_ = lineStart_;
        if (!line.empty() && line[0] == '%') {
            if (line.size() > 1 && line[1] == '%') {
                beginRulesSection();
                return T_SECTION;
            }
            directive(line);
            continue;
        }
        size_t end = line.find_first_of(" \t");
        if (end == std::string::npos)
            continue;
        tokenText_ = line.substr(0, end);
        if (isDigit(static_cast<unsigned char>(tokenText_[0])))
            warningAt(lineStart_, "%s",
                      tr("Substitution strings may not begin with digits",
                         "Substitucne retazce nemozu zacinat cislicou"));
        size_t text = line.find_first_not_of(" \t", end);
        pendingNoTranslation_ = text == std::string::npos;
        pendingText_ = pendingNoTranslation_ ? std::string() : line.substr(text);
        pendingDefinitionText_ = true;
        return T_STRING;
    }
}

// A directive line of the definitions section.  The directive is the word
// after '%': the one-letter ones take their number or names after it
// ("%e 2000", "%e2000", "%s A B"), and %s may be spelt out (%Start).  A
// longer word is another lex's directive (%option, %array, %pointer,
// %top): taking it by its first letter would silently do something else
// (%option would set the output table size), so it is named and refused.
void Run::directive(const std::string& line)
{
    size_t end = 1;
    while (end < line.size() && isLetter(static_cast<unsigned char>(line[end])))
        ++end;
    const std::string word = line.substr(1, end - 1);
    int c = line.size() > 1 ? static_cast<unsigned char>(line[1]) : 0;
    if (c == '{') {
        openOutput();
        copyBlock();
        return;
    }
    if (c == 's' || c == 'S') {
        startConditions(line, false);
        return;
    }
    if (word.size() > 1) {
        specErrorAt(lineStart_, tr("%%%s is not supported", "%%%s nie je podporovane"), word.c_str());
        return;
    }
    switch (c) {
    case 'x':
    case 'X':
        startConditions(line, true);
        return;
    case 't':
    case 'T':
        translationTable(line);
        return;
    case 'a': case 'A': case 'e': case 'E': case 'k': case 'K':
    case 'n': case 'N': case 'o': case 'O': case 'p': case 'P': {
        size_t d = line.find_first_of("0123456789");
        long v = d == std::string::npos ? 0 : digitsValue(line, d);
        switch (std::tolower(c)) {
        case 'a': limits_.transitions = v; break;
        case 'e': limits_.nodes = v; break;
        case 'n': limits_.states = v; break;
        case 'o': limits_.output = v; break;
        case 'p': limits_.positions = v; break;
        case 'k':
            limits_.packedClasses = v;
            havePackedPool_ = allocate(packedPool_, v);
            break;
        }
        return;
    }
    default:
        warningAt(lineStart_, tr("Invalid request %s", "Nedovolena poziadavka %s"), line.c_str());
    }
}

// "%{" in the definitions: lines up to "%}" go to the output unchanged.
void Run::copyBlock()
{
    std::string line;
    for (;;) {
        if (!readLine(line))
            error("%s", tr("Premature EOF", "Predcasny znak EOF"));
        if (line == "%}")
            return;
        outText(line);
        out("\n");
    }
}

void Run::copyRemainingLines()
{
    std::string line;
    while (readLine(line)) {
        openOutput();
        outText(line);
        out("\n");
    }
}

// %s declares inclusive start conditions, %x exclusive ones: a rule
// without a <...> prefix is active in every inclusive condition and in no
// exclusive one.
void Run::startConditions(const std::string& line, bool exclusive)
{
    openOutput();
    size_t i = line.find_first_of(" \t,");
    while (i != std::string::npos && i < line.size()) {
        i = line.find_first_not_of(" \t,", i);
        if (i == std::string::npos)
            break;
        size_t end = line.find_first_of(" \t,", i);
        std::string name = line.substr(i, end == std::string::npos ? std::string::npos : end - i);
        i = end;
        if (static_cast<int>(startNames_.size()) + 1 >= cap_.maxStartConditions) {
            capacity();
            errorAt(lineStart_, "%s", tr("Too many start conditions", "Privela 'start' podmienok"));
        }
        out("# define %s %d\n", name.c_str(), 2 * static_cast<int>(startNames_.size()));
        if (startNamePoolUsed_ + static_cast<int>(name.size()) + 1 > cap_.startNamePool) {
            capacity();
            errorAt(lineStart_, "%s", "Start conditions too long");
        }
        startNamePoolUsed_ += static_cast<int>(name.size()) + 1;
        startNames_.push_back(name);
        exclusive_.resize(startNames_.size(), false);
        exclusive_.back() = exclusive;
    }
}

// Characters of a %T line: escapes as in patterns.
static std::vector<int> tableCharacters(const std::string& s, size_t i)
{
    std::vector<int> out;
    while (i < s.size()) {
        int c = static_cast<unsigned char>(s[i++]);
        if (c == '\\' && i < s.size()) {
            int e = static_cast<unsigned char>(s[i++]);
            switch (e) {
            case 'n': c = '\n'; break;
            case 'r': c = '\r'; break;
            case 't': c = '\t'; break;
            case 'b': c = '\b'; break;
            case 'f': c = 12; break;
            case '\\': c = '\\'; break;
            default:
                if (isOctal(e)) {
                    c = e - '0';
                    while (i < s.size() && isOctal(static_cast<unsigned char>(s[i])))
                        c = (c * 8 + (s[i++] - '0')) & 07777;
                } else {
                    c = e;
                }
            }
        }
        // a code above 255 keeps its low byte, as a C char would
        out.push_back(c & 0377);
    }
    return out;
}

void Run::translationTable(const std::string& line)
{
    long size = leadingNumber(line, 2);
    if (size < 128)
        size = 128;
    if (size > 256)
        errorAt(lineStart_, "%s", tr("ch table needs redeclaration", "ch tabukla vyzadfuje redeklaraciu"));
    translation_ = true;
    charsetSize_ = static_cast<int>(size);
    for (int c = 0; c < charsetSize_; ++c)
        ctable_[c] = 0;
    std::string l;
    while (readLine(l)) {
        if (l == "%T" || l == "%t")
            break;
        size_t d = l.find_first_of("0123456789-");
        long n = d == std::string::npos ? 0 : leadingNumber(l, d);
        if (n < 1 || n > size) {
            warningAt(lineStart_, tr("Character value %d out of range", "Znak s hodnotou %d je mimo dovoleneho rozsahu"),
                      static_cast<int>(n));
            continue;
        }
        size_t b = l.find_first_of(" \t");
        size_t from = b == std::string::npos ? l.size() : l.find_first_not_of(" \t", b);
        if (from == std::string::npos)
            from = l.size();
        for (int c : tableCharacters(l, from)) {
            if (ctable_[c] == 0) {
                ctable_[c] = static_cast<int>(n);
            } else if (c >= 32 && c < 127) {
                warningAt(lineStart_, tr("Character '%c' used twice", "Znak '%c' bol pouzity dvakrat"), c);
            } else {
                warningAt(lineStart_, tr("Character %o used twice", "Znak %o bol pouzity dvakrat"), c);
            }
        }
    }
    // Characters the table left out get the lowest numbers nobody has.
    std::vector<bool> taken(512, false);
    for (int c = 0; c < 256; ++c)
        taken[ctable_[c]] = true;
    int free = 1;
    for (int c = 1; c < 128; ++c) {
        if (ctable_[c] != 0)
            continue;
        while (taken[free])
            ++free;
        ctable_[c] = free;
        taken[free] = true;
    }
    openOutput();
}

// "%%" after the definitions: the opening of yylex and the parse tree.
void Run::beginRulesSection()
{
    openOutput();
    out("# ");
    out("define YYNEWLINE %d\n", ctable_[int{'\n'}]);
    out("yylex(){\nint nstr;");
    out(" extern int yyprevious;\n");
    openingWritten_ = true;
    rulesBegin_ = true;
    Table<unsigned char> trial;  // only asks for the memory: none of it is written
    long n = limits_.nodes;
    bool ok = allocate(trial, n * 17 + 30);
    trial = {};
    ok = ok && allocate(kind_, n) && allocate(left_, n) && allocate(right_, n) &&
         allocate(parent_, n) && allocate(nullable_, n);
    if (!ok)
        error("%s", tr("Too little core for parse tree", "Nedostatok volnej operacnej pamati"));
    haveTree_ = true;
}

// ---- rules section -----------------------------------------------------------

int Run::readEscape()
{
    int c = readChar();
    if (eof_)
        return 0;
    switch (c) {
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'b': return '\b';
    case 'f': return 12;
    default:
        if (isOctal(c)) {
            int v = c - '0';
            while (isOctal(next_)) {
                int d = readChar();
                if (v < 07777777)
                    v = v * 8 + (d - '0');
            }
            return v;
        }
        return c;
    }
}

int Run::scanString()
{
    std::string text;
    for (;;) {
        if (next_ == '"') {
            readChar();
            break;
        }
        if (next_ == '\n') {
            warning("%s", tr("Non-terminated string", "Neukonceny retazec"));
            break;
        }
        if (next_ == kEof)
            break;
        if (text.size() >= static_cast<size_t>(cap_.tokenBuffer - 1)) {
            warning("%s", tr("String too long", "Prilis dlhy retazec"));
            break;
        }
        int c = readChar();
        if (c == '\\')
            c = readEscape();
        if (validChar(c))
            text.push_back(static_cast<char>(c));
    }
    if (text.empty())
        return T_EMPTY;
    if (text.size() == 1) {
        tokenChar_ = static_cast<unsigned char>(text[0]);
        return T_CHAR;
    }
    tokenText_ = text;
    return T_STRING;
}

int Run::storeClassText(const std::string& text, const char* enFull, const char* skFull)
{
    size_t len = text.size() + 1;
    if (optimise_ == 1 && classPool_.size() >= len) {
        for (size_t pos = 0; pos + len <= classPool_.size(); ++pos)
            if (std::memcmp(&classPool_[pos], text.c_str(), len) == 0)
                return static_cast<int>(pos);
    }
    if (classPool_.size() + len > static_cast<size_t>(cap_.classPool)) {
        capacity();
        error("%s", tr(enFull, skFull));
    }
    int pos = static_cast<int>(classPool_.size());
    classPool_.insert(classPool_.end(), text.begin(), text.end());
    classPool_.push_back(0);
    return pos;
}

void Run::updateNumbering(bool negated)
{
    bool* m = classMarks_;
    int* num = classNumber_;
    if (negated)
        for (int c = 1; c < 128; ++c)
            m[c] = !m[c];
    int firstMarked = 0;
    for (int c = 1; c < 128 && !firstMarked; ++c)
        if (m[c])
            firstMarked = c;
    if (!firstMarked)
        return;
    int k = num[firstMarked];
    if (k != 0) {
        bool whole = true;
        for (int c = 1; c < 128 && whole; ++c)
            if (m[c] != (num[c] == k))
                whole = false;
        if (whole)
            return;
    }
    bool gave = false, meets = false;
    for (int c = 1; c < 128; ++c) {
        if (!m[c])
            continue;
        if (num[c] == 0) {
            num[c] = nextClassNumber_;
            m[c] = false;
            gave = true;
        } else {
            meets = true;
        }
    }
    if (gave)
        ++nextClassNumber_;
    if (!meets)
        return;
    for (int j = 1; j < 128; ++j) {
        if (!m[j])
            continue;
        int g = num[j];
        bool split = false;
        for (int c = 1; c < 128; ++c) {
            if (num[c] != g)
                continue;
            if (m[c]) {
                m[c] = false;
            } else {
                num[c] = nextClassNumber_;
                split = true;
            }
        }
        if (split)
            ++nextClassNumber_;
    }
}

int Run::scanClass()
{
    std::memset(classMarks_, 0, sizeof classMarks_);
    bool negated = false;
    if (next_ == '^') {
        readChar();
        negated = true;
    }
    for (;;) {
        if (next_ == ']') {
            readChar();
            break;
        }
        if (next_ == '\n' || next_ == kEof) {
            // Whatever followed on the line (the action, as a rule) is in
            // the class now, and the rule has lost its action.
            specErrorAt(line_, "%s", tr("Non-terminated character class", "Neukoncena znakova trieda"));
            break;
        }
        int lo = readChar();
        if (lo == '\\')
            lo = readEscape();
        if (next_ == '-') {
            readChar();
            if (next_ == ']' || next_ == '\n' || next_ == kEof) {
                if (validChar(lo))
                    classMarks_[lo] = true;
                classMarks_[int{'-'}] = true;
                continue;
            }
            int hi = readChar();
            if (hi == '\\')
                hi = readEscape();
            if (lo > hi)
                std::swap(lo, hi);
            bool okLo = validChar(lo), okHi = validChar(hi);
            if (!okLo || !okHi)
                continue;
            bool portable = (lo >= 'A' && hi <= 'Z') || (lo >= 'a' && hi <= 'z') || (lo >= '0' && hi <= '9');
            if (!portable)
                warning("%s", tr("Non-portable Character Class", "Pouzite znaky z neprenositelnych znakovych tried"));
            for (int c = lo; c <= hi; ++c)
                classMarks_[c] = true;
            continue;
        }
        if (validChar(lo))
            classMarks_[lo] = true;
    }
    std::string text;
    for (int c = 1; c < 128; ++c)
        if (classMarks_[c])
            text.push_back(static_cast<char>(c));
    tokenPool_ = storeClassText(text, "Too many large character classes", "Privela rozsiahlych znakovych tried");
    updateNumbering(negated);
    return negated ? T_NEGCLASS : T_CLASS;
}

int Run::scanStartList()
{
    std::vector<int> list;
    for (;;) {
        std::string name;
        while (next_ != ',' && next_ != '>' && next_ != '\n' && next_ != kEof)
            name.push_back(static_cast<char>(readChar()));
        if (name.empty()) {
            // An empty name gives the list up; what ended it is pattern text.
            if (next_ == ',' || next_ == '>')
                return ordinaryChar(readChar());
            return -1;
        }
        int found = -1;
        for (size_t i = 0; i < startNames_.size(); ++i)
            if (startNames_[i] == name) {
                found = static_cast<int>(i);
                break;
            }
        if (found >= 0)
            list.push_back(found + 1);
        else
            warning(tr("Undefined start condition %s", "Nebola definovana podmienka 'start' %s"), name.c_str());
        if (next_ == ',') {
            readChar();
            continue;
        }
        if (next_ == '>')
            readChar();
        break;
    }
    tokenPool_ = storeStartList(list);
    return T_STARTLIST;
}

// Stores a list of start conditions (each number + 1), shared with an
// equal list already stored; its offset in the pool.
int Run::storeStartList(const std::vector<int>& list)
{
    size_t pos = 0;
    while (pos < startListPool_.size()) {
        size_t len = 0;
        while (startListPool_[pos + len] != 0)
            ++len;
        if (len == list.size() && std::equal(list.begin(), list.end(), startListPool_.begin() + static_cast<long>(pos)))
            return static_cast<int>(pos);
        pos += len + 1;
    }
    if (startListPool_.size() + list.size() + 1 > static_cast<size_t>(cap_.startListPool)) {
        capacity();
        error("%s", tr("Too many start conditions used", "Bolo pouzitych privela 'start' podmienok"));
    }
    int at = static_cast<int>(startListPool_.size());
    startListPool_.insert(startListPool_.end(), list.begin(), list.end());
    startListPool_.push_back(0);
    return at;
}

int Run::inclusiveList()
{
    if (std::find(exclusive_.begin(), exclusive_.end(), true) == exclusive_.end())
        return -1;
    std::vector<int> list;
    for (size_t i = 0; i < exclusive_.size(); ++i)
        if (!exclusive_[i])
            list.push_back(static_cast<int>(i) + 1);
    return storeStartList(list);
}

// An ordinary pattern character: a count digit, a run of letters, or one
// character.  -1 when the character is dropped.
int Run::ordinaryChar(int c)
{
    if (!validChar(c))
        return -1;
    if (countFlag_) {
        countFlag_ = false;
        if (isDigit(c)) {
            long v = c - '0';
            while (isDigit(next_)) {
                int d = readChar();
                if (v < kNumberCeiling)
                    v = v * 10 + (d - '0');
            }
            tokenCount_ = v;
            return T_COUNT;
        }
    }
    if (isLetter(next_)) {
        std::string text(1, static_cast<char>(c));
        while (isLetter(next_))
            text.push_back(static_cast<char>(readChar()));
        if (next_ == '?' || next_ == '*' || next_ == '+') {
            // the operator applies to the last letter alone
            pushChar(static_cast<unsigned char>(text.back()));
            text.pop_back();
        }
        if (text.size() > 1) {
            tokenText_ = text;
            return T_STRING;
        }
        c = static_cast<unsigned char>(text[0]);
    }
    tokenChar_ = c;
    return T_CHAR;
}

// Copies one action to the output: the rest of its line, all of it, since
// users write several statements, a macro call without ';' or only a
// comment there.  Braces, comments and constants carry the action over
// further lines.  True for code (the case needs its break), false for '|'
// (the action is the next rule's: the case falls through to it).  The
// reader is left after the newline that ended the action.
bool Run::copyAction()
{
    int depth = 0;
    bool onlyBlanks = true;
    int braceLine = line_;
    std::string blanks;  // at depth 0: written only if more text follows on the line
    char ch[2] = {0, 0};
    auto put = [&](int c) {
        ch[0] = static_cast<char>(c);
        std::fputs(ch, outFile_);
    };
    for (;;) {
        int c = readChar();
        if (eof_) {
            if (depth > 0)
                errorAt(braceLine, "%s", tr("Action does not terminate", "Akcia nebola ukoncena"));
            out("\n");
            return true;
        }
        if (c == '\n' && depth == 0) {
            out("\n");
            return true;
        }
        if (c == '|' && depth == 0 && onlyBlanks) {
            if (next_ == '|')
                readChar();
            while (next_ != '\n' && next_ != kEof)
                readChar();
            readChar();
            return false;
        }
        if (c == 0) {
            // a NUL byte in the file cannot be written as text; keep going
            continue;
        }
        if (depth == 0 && isBlank(c)) {
            blanks.push_back(static_cast<char>(c));
            continue;
        }
        outText(blanks);
        blanks.clear();
        put(c);
        switch (c) {
        case '{':
            ++depth;
            braceLine = line_;
            break;
        case '}':
            if (depth > 0)
                --depth;
            break;
        case '/':
            if (next_ == '*') {
                int startLine = line_;
                put(readChar());
                for (;;) {
                    int d = readChar();
                    if (eof_)
                        errorAt(startLine, "%s", tr("EOF inside comment", "EOF vo vnutri komentara"));
                    if (d)
                        put(d);
                    if (d == '*' && next_ == '/') {
                        put(readChar());
                        break;
                    }
                }
            } else if (next_ == '/') {
                // a line comment: a brace or a quote in it is text
                while (next_ != '\n' && next_ != kEof) {
                    int d = readChar();
                    if (d)
                        put(d);
                }
            }
            break;
        case '\'':
        case '"': {
            int startLine = line_;
            for (;;) {
                int d = readChar();
                if (eof_)
                    error("%s", tr("EOF in string or character constant",
                                   "EOF vo vnutri retazca alebo znakovej konstanty"));
                if (d == '\n')
                    errorAt(startLine, "%s", tr("Non-terminated string or character constant",
                                                "Neukonceny retazec alebo znakova konstanta"));
                if (d)
                    put(d);
                if (d == '\\') {
                    int e = readChar();
                    if (eof_)
                        error("%s", tr("EOF in string or character constant",
                                       "EOF vo vnutri retazca alebo znakovej konstanty"));
                    if (e)
                        put(e);
                    continue;
                }
                if (d == c)
                    break;
            }
            break;
        }
        default:
            break;
        }
        if (c != '\n')
            onlyBlanks = false;
    }
}

// A line of the rules section that begins with a blank or a tab: code, not
// a rule (the present character is that first blank).  A blank line is
// nothing; comments are copied as they stand.  Other code before the first
// rule opens the body of yylex; after a rule it goes after that rule's
// action, with a warning: it is reached only where a case falls through.
void Run::indentedLine()
{
    std::string lead;  // blanks after the first, kept in front of the text
    bool comments = false;
    for (;;) {
        while (isBlank(next_))
            lead.push_back(static_cast<char>(readChar()));
        if (next_ == '\n' || next_ == kEof) {
            if (comments)
                out("\n");
            readChar();
            return;
        }
        if (next_ != '/')
            break;
        readChar();
        if (next_ != '*' && next_ != '/') {
            pushChar('/');
            break;
        }
        outText(lead);
        lead.clear();
        comments = true;
        out("/");
        if (next_ == '/') {
            while (next_ != '\n' && next_ != kEof) {
                int d = readChar();
                if (d)
                    out("%c", d);
            }
            continue;
        }
        int startLine = line_;
        out("%c", readChar());
        for (;;) {
            int d = readChar();
            if (eof_)
                errorAt(startLine, "%s", tr("EOF inside comment", "EOF vo vnutri komentara"));
            if (d)
                out("%c", d);
            if (d == '*' && next_ == '/') {
                out("%c", readChar());
                break;
            }
        }
    }
    if (rulesBegin_) {
        // code right after "%%" opens the body of yylex
        outText(lead);
        copyAction();
        return;
    }
    if (!switchHeadWritten_)
        writeSwitchHead();
    warning("%s", tr("Executable statements should occur right after %%",
                     "Vykonavatelne prikazy by sa mali nachadzat vpravo za %%"));
    outText(lead);
    if (copyAction())
        out("%s", breakComment_ ? "/* break; */\n" : "break;\n");
}

int Run::scanRules()
{
    auto ret = [this](int t) {
        rulesBegin_ = false;
        startListJustReturned_ = t == T_STARTLIST;
        return t;
    };
    for (;;) {
        int c = readChar();
        if (eof_) {
            if (!tailWritten_)
                writeYylexTail();
            copyRemainingLines();
            return ret(0);
        }
        // A newline has already advanced the count; it ends its own line.
        tokenLine_ = c == '\n' ? line_ - 1 : line_;
        int t = -1;
        switch (c) {
        case '"':
            t = scanString();
            break;
        case ' ':
        case '\t':
            if (prev_ == '\n') {
                indentedLine();
                continue;
            }
            if (!switchHeadWritten_)
                writeSwitchHead();
            out("case %d:\n", ruleCounter_);
            if (copyAction())
                out("%s", breakComment_ ? "/* break; */\n" : "break;\n");
            return ret(T_ENDRULE);
        case '\n':
            if (prev_ == '\n')
                continue;
            // A rule without an action: what it matches is dropped, as an
            // empty action would drop it.  Without a case of its own the
            // scanner would stop at it with "bad switch".
            if (!switchHeadWritten_)
                writeSwitchHead();
            out("case %d:\n", ruleCounter_);
            out("%s", breakComment_ ? "/* break; */\n" : "break;\n");
            ruleWithoutAction_ = tokenLine_;  // told once the rule is read
            return ret(T_ENDRULE);
        case '%':
            if (prev_ == '\n' && next_ == '%') {
                readChar();
                readChar();
                return ret(T_SECTION);
            }
            if (prev_ == '\n' && next_ == '{') {
                std::string line;
                readLine(line);
                while (readLine(line) && line != "%}") {
                    outText(line);
                    out("\n");
                }
                continue;
            }
            t = ordinaryChar(c);
            break;
        case '$':
            if (next_ == '\n' || isBlank(next_) || next_ == '|' || next_ == '/')
                return ret('$');
            t = ordinaryChar(c);
            break;
        case '(': case ')': case '*': case '+': case ',': case '.': case '/': case '?':
            return ret(c);
        case '<':
            t = prev_ == '\n' ? scanStartList() : ordinaryChar(c);
            break;
        case '[':
            t = scanClass();
            break;
        case '\\':
            t = ordinaryChar(readEscape());
            break;
        case '^':
            if (prev_ == '\n' || startListJustReturned_)
                return ret('^');
            t = ordinaryChar(c);
            break;
        case '{':
            if (isDigit(next_)) {
                countFlag_ = true;
                long v = 0;
                while (isDigit(next_)) {
                    int d = readChar();
                    if (v < kNumberCeiling)
                        v = v * 10 + (d - '0');
                }
                tokenCount_ = v;
                return ret(T_COUNT);
            } else {
                std::string name;
                while (next_ != '}' && next_ != '\n' && next_ != kEof)
                    name.push_back(static_cast<char>(readChar()));
                if (next_ == '}')
                    readChar();
                const Definition* def = nullptr;
                for (const Definition& d : definitions_)
                    if (d.name == name) {
                        def = &d;
                        break;
                    }
                if (!def) {
                    // The rule would match without it, or lose its pattern
                    // and turn its action into code that runs on every
                    // call: neither is what was written.  The rule goes on
                    // with an empty string in its place, so that the rest
                    // still reads, and the run fails.
                    specErrorAt(line_, tr("Definition %s not found", "Definicia %s neexistuje"), name.c_str());
                    return ret(T_EMPTY);
                }
                // A definition that names itself would expand forever
                // without reading the file; it ends like a full stack.
                if (++expansions_ > cap_.pushback)
                    error("%s", tr("Too many character pushed", "Pretecenie zasobnika"));
                pushString(def->text);
                continue;
            }
        case '|':
            if (isBlank(next_) || next_ == '\n') {
                // a case label belongs inside the switch, even as the first
                if (!switchHeadWritten_)
                    writeSwitchHead();
                out("case %d:\n", ruleCounter_);
                ++ruleCounter_;
                continue;
            }
            return ret('|');
        case '}':
            countFlag_ = false;
            return ret('}');
        default:
            t = ordinaryChar(c);
            break;
        }
        if (t < 0)
            continue;
        return ret(t);
    }
}

// ---- user code section ---------------------------------------------------

int Run::scanUserCode()
{
    if (!tailWritten_)
        writeYylexTail();
    copyRemainingLines();
    return 0;
}

} // namespace duq_lex
