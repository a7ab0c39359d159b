// The four channels through which the generators show text.
//
// DUQ-Lex and DUQ-yacc are written like console tools, but they never touch
// a console or a window: every progress line goes to message(), every
// finished error or warning text goes to one of the three error sinks with
// the current line of the specification (-1 when there is none).  The IDE,
// the headless runner and the command-line tools each plug in their own
// implementation.
#pragma once

#include <cstdarg>
#include <string>

namespace vork {

class Sinks {
public:
    virtual ~Sinks() = default;

    // One call is one line of the "Parser" message list.  The text may hold
    // line breaks; it still is one item.
    virtual void message(const std::string& text) = 0;

    virtual void lexError(const std::string& text, int line) = 0;
    virtual void lexWarning(const std::string& text, int line) = 0;
    virtual void yaccError(const std::string& text, int line) = 0;

    // Asked by the generators between units of work (a state built, a table
    // row packed, a conflict explained).  True ends the run as a failure
    // that removes what it created; the IDE answers it from its "Zastaviť"
    // button, everyone else never asks a run to stop.
    virtual bool stopRequested() const { return false; }
};

// sprintf-style formatting into a std::string of any length.
std::string vformat(const char* fmt, va_list ap);
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// message() with printf-style arguments, the way the generators call it.
void messagef(Sinks& sinks, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

// A sink that drops everything; handy for tests and for callers that only
// want the result status.
class NullSinks : public Sinks {
public:
    void message(const std::string&) override {}
    void lexError(const std::string&, int) override {}
    void lexWarning(const std::string&, int) override {}
    void yaccError(const std::string&, int) override {}
};

} // namespace vork
