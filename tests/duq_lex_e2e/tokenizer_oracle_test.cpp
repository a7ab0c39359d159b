// The benchmark's C tokenizer against its hand-written twin: on the same
// generated C-like text both must report the same token stream (codes,
// counts and a checksum over codes and lengths), with optimised tables and
// with plain ones.  The hand-written scanner is the oracle for the longest
// match over keywords, identifiers, numbers, strings, comments, operators.
#include "input_gen.h"
#include "scanner_run.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kBenchDir = std::string(VORK_SOURCE_DIR) + "/bench/duq_lex/";

class TokenizerOracle : public ::testing::TestWithParam<bool> {};

TEST_P(TokenizerOracle, GeneratedTokenizerMatchesHandWritten)
{
    e2e::TempDir dir;
    e2e::writeFile(dir.file("ctok.h"), e2e::readFile(kBenchDir + "ctok.h"));
    e2e::writeFile(dir.file("handscan.c"), e2e::readFile(kBenchDir + "handscan.c"));
    e2e::writeFile(dir.file("input.c"), generateCInput(300 * 1024, 7));

    ASSERT_EQ(e2e::buildScanner(dir, e2e::readFile(kBenchDir + "ctok.l"), GetParam()), "");
    ASSERT_EQ(e2e::runShell("cd '" + dir.path() + "' && '" + e2e::binPath("vork-cc") +
                            "' handscan.c >hand.log 2>&1"),
              0)
        << e2e::readFile(dir.file("hand.log"));
    ASSERT_EQ(e2e::runShell("cd '" + dir.path() + "' && ./handscan.exe input.c >hand.out"), 0);

    e2e::RunResult generated = e2e::runScanner(dir, {"input.c"}, "");
    std::string expected = e2e::readFile(dir.file("hand.out"));
    EXPECT_EQ(generated.status, 0);
    EXPECT_NE(expected.find("tokens"), std::string::npos);
    EXPECT_EQ(generated.out, expected);
    EXPECT_EQ(generated.err, "");
}

INSTANTIATE_TEST_SUITE_P(Tables, TokenizerOracle, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "optimised" : "plain");
                         });

} // namespace
