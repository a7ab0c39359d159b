// The benchmark's C tokenizer against its hand-written twin: on the same
// generated C-like text both must report the same token stream (codes,
// counts and a checksum over codes and lengths), with optimised tables and
// with plain ones.  The hand-written scanner is the oracle for the longest
// match over keywords, identifiers, numbers, strings, comments, operators.
// Besides well-formed text, printable noise drives both into the malformed
// corners: unterminated strings, "1.5e+x", "0x" without digits, "..".
#include "input_gen.h"
#include "scanner_run.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

const std::string kBenchDir = std::string(VORK_SOURCE_DIR) + "/bench/duq_lex/";

// Characters 1..127 (the tokenizer's alphabet) biased towards the ones its
// rules start with; a line never grows past 150 characters, so that no
// token but a block comment reaches YYLMAX.
std::string asciiNoise(size_t bytes, uint32_t seed)
{
    const std::string common = "aex0123456789._\"'/*+-<>=&|!%^~?:;,()[]{} \t\\";
    std::string out;
    size_t line = 0;
    while (out.size() < bytes) {
        seed = seed * 1103515245u + 12345u;
        uint32_t r = seed >> 8;
        char c = (r % 4 == 0) ? static_cast<char>(1 + (r >> 3) % 127) : common[(r >> 3) % common.size()];
        if (c == '\n' || ++line > 150) {
            c = '\n';
            line = 0;
        }
        out += c;
    }
    return out;
}

struct OracleCase {
    const char* name;
    bool optimise;
    bool noise;
};

void PrintTo(const OracleCase& c, std::ostream* os) { *os << c.name; }

class TokenizerOracle : public ::testing::TestWithParam<OracleCase> {};

TEST_P(TokenizerOracle, GeneratedTokenizerMatchesHandWritten)
{
    e2e::TempDir dir;
    e2e::writeFile(dir.file("ctok.h"), e2e::readFile(kBenchDir + "ctok.h"));
    e2e::writeFile(dir.file("handscan.c"), e2e::readFile(kBenchDir + "handscan.c"));
    const OracleCase& c = GetParam();
    e2e::writeFile(dir.file("input.c"), c.noise ? asciiNoise(200 * 1024, 11) : generateCInput(300 * 1024, 7));

    ASSERT_EQ(e2e::buildScanner(dir, e2e::readFile(kBenchDir + "ctok.l"), c.optimise), "");
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

INSTANTIATE_TEST_SUITE_P(Inputs, TokenizerOracle,
                         ::testing::Values(OracleCase{"c_text_optimised", true, false},
                                           OracleCase{"c_text_plain", false, false},
                                           OracleCase{"ascii_noise_optimised", true, true},
                                           OracleCase{"ascii_noise_plain", false, true}),
                         [](const ::testing::TestParamInfo<OracleCase>& info) { return info.param.name; });

} // namespace
