// The character reader of the specification: previous, present and next
// character, a pushback stack (definitions are expanded by pushing their
// text back), and line-wise reading for the sections that work by lines.
#include "run.h"

namespace duq_lex {

// One character from the pushback stack or the file.  A line may end in
// CR LF (Windows) or in CR alone (old Macintosh editors): either reads as
// one newline, so every layout of the same text gives the same scanner.
int Run::fetch()
{
    if (!pushback_.empty()) {
        int c = pushback_.back();
        pushback_.pop_back();
        return c;
    }
    expansions_ = 0;
    if (!in_)
        return kEof;
    int c = std::getc(in_);
    // A read error must not pass for the end of the specification: the
    // scanner would lack the rules after it.
    if (c == EOF && std::ferror(in_))
        error(tr("Can't read input file: %s", "Nemozno citat vstupny subor: %s"), specName_.c_str());
    if (c == '\r') {
        int d = std::getc(in_);
        if (d != '\n' && d != EOF)
            std::ungetc(d, in_);
        return '\n';
    }
    return c == EOF ? kEof : c;
}

// Shifts next into present and present into previous.  Returns the new
// present character, 0 at the end of the input.
int Run::readChar()
{
    prev_ = cur_;
    cur_ = next_;
    if (cur_ == '\n')
        ++line_;
    if (cur_ == kEof) {
        if (!eof_) {
            eof_ = true;
            if (in_) {
                std::fclose(in_);
                in_ = nullptr;
            }
        }
        next_ = kEof;
        return 0;
    }
    next_ = fetch();
    return cur_;
}

void Run::pushChar(int c)
{
    if (static_cast<int>(pushback_.size()) + 1 >= cap_.pushback) {
        capacity();
        error("%s", tr("Too many character pushed", "Pretecenie zasobnika"));
    }
    pushback_.push_back(next_);
    next_ = c;
}

void Run::pushString(const std::string& s)
{
    for (size_t i = s.size(); i-- > 0;)
        pushChar(static_cast<unsigned char>(s[i]));
}

// Reads up to the newline (not stored) or the end of the input.  Afterwards
// the previous and the present character are both newline.  False only when
// the input ends before any character of the line.
bool Run::readLine(std::string& line)
{
    line.clear();
    lineStart_ = line_;
    int c = readChar();
    if (eof_ && c == 0) {
        prev_ = cur_ = '\n';
        return false;
    }
    while (!eof_ && c != '\n') {
        line.push_back(static_cast<char>(c));
        c = readChar();
    }
    bool eofNow = eof_;
    prev_ = cur_ = '\n';
    if (eofNow) {
        // keep the end visible to the next read
        next_ = kEof;
    }
    return true;
}

} // namespace duq_lex
