#include "vork/project/generators.h"

#include "duq_lex/lex_run.h"
#include "duq_yacc/yacc_run.h"
#include "jal/jal.h"

namespace vork {

namespace {

class BuiltIn final : public Generators {
public:
    int lexRun(Sinks& sinks, const std::string& skeletonFile, const std::string& specFile,
               const std::string& outputFile, int slovak, int statistics, int optimise, int large) override
    {
        return duq_lex::lex_run(sinks, skeletonFile, specFile, outputFile, slovak, statistics, optimise, large);
    }
    int yaccRun(Sinks& sinks, const std::string& skeletonFile, const std::string& grammarFile,
                const std::string& outputFile, int debug, int* tokenCountOut, int slovak,
                const std::string& tokenFile, const std::string& stateFile, int large, int fast) override
    {
        return duq_yacc::yacc_run(sinks, skeletonFile, grammarFile, outputFile, debug, tokenCountOut, slovak,
                                  tokenFile, stateFile, large, 2.0 /* the library's default */, std::string(), fast);
    }
    bool jalTranslate(const std::string& sourcePath, std::ostream& console, std::string& messageFile) override
    {
        return jal::jal_translate(sourcePath, console, &messageFile);
    }
};

} // namespace

Generators& builtInGenerators()
{
    // No state: the generators keep each run's state in their own run
    // objects, so one shared dispatcher is safe.
    static BuiltIn generators;
    return generators;
}

} // namespace vork
