// The three translators the environment runs inside its own process.  The
// make engine calls them through this interface so that a test can watch
// the exact calls; builtInGenerators() is the real DUQ-Lex, DUQ-yacc and
// Jal.
#pragma once

#include "vork/sinks.h"

#include <ostream>
#include <string>

namespace vork {

class Generators {
public:
    virtual ~Generators() = default;

    // large: nonzero selects the generators' large-tables mode (the
    // configuration's largeTables).  fast: nonzero writes a directly coded
    // parser instead of the skeleton's table walk (ignored in debug mode).
    virtual int lexRun(Sinks& sinks, const std::string& skeletonFile, const std::string& specFile,
                       const std::string& outputFile, int slovak, int statistics, int optimise, int large) = 0;
    virtual int yaccRun(Sinks& sinks, const std::string& skeletonFile, const std::string& grammarFile,
                        const std::string& outputFile, int debug, int* tokenCountOut, int slovak,
                        const std::string& tokenFile, const std::string& stateFile, int large, int fast) = 0;
    // messageFile receives the name of the message file the translation
    // created in the current directory ("" for none); the caller reads and
    // removes it.
    virtual bool jalTranslate(const std::string& sourcePath, std::ostream& console, std::string& messageFile) = 0;
};

// Stateless; every call is an independent run.
Generators& builtInGenerators();

} // namespace vork
