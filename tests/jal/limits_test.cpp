// The fixed limits: the largest input each allows translates, one more
// ends the translation with an error line and no class file.
#include "jal_test_support.h"

#include "constant_pool.h"
#include "error.h"

#include <gtest/gtest.h>

#include <functional>

using namespace jaltest;

namespace {

const std::string kHead = ".source A\n.class public B .super java/lang/Object\n";

std::string repeat(const std::string& s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

std::string method(const std::string& body)
{
    return ".method static m ()V\n" + body + ".endm\n";
}

std::string numbered(const char* prefix, const char* suffix, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += prefix + std::to_string(i) + suffix;
    return out;
}

struct Limit {
    const char* name;
    std::function<std::string(bool over)> source;
    // The error line expected when over the limit.
    std::string error;
};

TEST(JalLimits, EachLimitIsAnErrorNotAnOverrun)
{
    const std::string text255(255, 'a');
    const Limit limits[] = {
        {"10000 code bytes",
         [](bool over) { return kHead + method(repeat("nop\n", over ? 10001 : 10000)); },
         "prilis dlhy kod metody (najviac 10000 bajtov)(LINE 10004: nop)\n"},
        {"an instruction crossing 10000 bytes",
         [](bool over) { return kHead + method(repeat("nop\n", over ? 9998 : 9997) + "sipush 1\n"); },
         "prilis dlhy kod metody (najviac 10000 bajtov)(LINE 10002: 1)\n"},
        {"label definition above 99",
         [](bool over) { return kHead + method(over ? "nop\n.100\n" : "nop\n.99\n"); },
         "cislo navestia mimo rozsahu 0 az 99(LINE 5: .100)\n"},
        {"branch to a label above 99",
         [](bool over) { return kHead + method(over ? "goto .123456789012\n" : "goto .99\n"); },
         "cislo navestia mimo rozsahu 0 az 99(LINE 4: .123456789012)\n"},
        {"200 pending branches",
         [](bool over) { return kHead + method(repeat("goto .1\n", over ? 201 : 200)); },
         "prilis vela skokov v metode (najviac 200)(LINE 204: .1)\n"},
        {"2048 pool numbers",
         // 6 numbers for the class, 5 per method, 2 per double.
         [](bool over) {
             return kHead + ".method static a ()V\n.endm\n" + method(repeat("ldc2_w 0.5\n", over ? 1017 : 1016));
         },
         "plna tabulka konstant (najviac 2048 cisel)(LINE 1023: .endm)\n"},
        {"10 interfaces",
         [](bool over) { return kHead + numbered(".implements I", "\n", over ? 11 : 10); },
         "prilis vela rozhrani (najviac 10)(LINE 13: I10)\n"},
        {"100 fields",
         [](bool over) { return kHead + numbered(".field f", " I\n", over ? 101 : 100); },
         "prilis vela poloziek triedy (najviac 100)(LINE 103: I)\n"},
        {"100 methods",
         [](bool over) { return kHead + numbered(".method m", " ()V\nreturn\n.endm\n", over ? 101 : 100); },
         "prilis vela metod (najviac 100)(LINE 305: .endm)\n"},
        {"255-byte string",
         [text255](bool over) {
             return kHead + method("ldc \"" + text255 + (over ? "b" : "") + "\"\n");
         },
         "prilis dlhy text (najviac 255 bajtov)(LINE 4: \"" + text255 + "b\")\n"},
        {"255-byte class name",
         [text255](bool over) { return ".source A\n.class " + text255 + (over ? "b" : "") + " .super C\n"; },
         "prilis dlhy text (najviac 255 bajtov)(LINE 2: C)\n"},
    };
    for (const Limit& l : limits) {
        {
            ScratchDir dir;
            Outcome o = translate(l.source(false));
            EXPECT_TRUE(o.ok) << l.name << ": " << o.console.substr(0, 200);
            ClassFile c;
            std::string error;
            EXPECT_TRUE(parseClass(o.classBytes, c, error)) << l.name << ": " << error;
        }
        {
            ScratchDir dir;
            Outcome o = translate(l.source(true));
            EXPECT_FALSE(o.ok) << l.name;
            EXPECT_FALSE(o.classWritten) << l.name;
            EXPECT_EQ(o.console, l.error) << l.name;
            EXPECT_EQ(o.messages, std::vector<std::string>{"Chybny subor \"t.jal\""}) << l.name;
        }
    }
}

TEST(JalLimits, ConstantPoolNumbers)
{
    // Fill to `used` numbers, then try one more entry.
    struct Case {
        int used;
        bool isDouble;
        bool fits;
    } cases[] = {
        {2046, true, true},
        {2047, true, false},
        {2047, false, true},
        {2048, false, false},
    };
    for (const Case& c : cases) {
        jal::ConstantPool pool;
        for (int i = 0; i < c.used; ++i)
            pool.addText("t");
        ASSERT_EQ(pool.count(), c.used + 1);
        const auto bytesBefore = pool.bytes().size();
        bool threw = false;
        try {
            if (c.isDouble)
                pool.addDouble(1.0);
            else
                pool.addText("u");
        } catch (const jal::TranslationError&) {
            threw = true;
        }
        EXPECT_EQ(threw, !c.fits) << c.used << (c.isDouble ? " + double" : " + text");
        if (threw) {
            EXPECT_EQ(pool.count(), c.used + 1);
            EXPECT_EQ(pool.bytes().size(), bytesBefore);
        }
    }
}

} // namespace
