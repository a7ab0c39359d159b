// The bytes of translated classes: header, constant pool and code (the
// cases of the code are in data/code_bytes.txt).
#include "jal_test_support.h"

#include <gtest/gtest.h>

using namespace jaltest;
using namespace std::string_literals;

namespace {

const std::string kHead = ".source A\n.class public B .super java/lang/Object\n";

ClassFile translated(const std::string& source)
{
    ScratchDir dir;
    const Outcome o = translate(source);
    EXPECT_TRUE(o.ok && o.classWritten) << o.console;
    ClassFile c;
    std::string error;
    EXPECT_TRUE(parseClass(o.classBytes, c, error)) << error;
    return c;
}

TEST(JalClassFile, MinimalClassIsByteExact)
{
    ScratchDir dir;
    const Outcome o = translate(kHead);
    EXPECT_EQ(o.console, "");
    EXPECT_EQ(o.classBytes, "\xCA\xFE\xBA\xBE\x00\x03\x00\x2D" // magic, version 45.3
                            "\x00\x07"                         // pool count
                            "\x01\x00\x0ASourceFile" "\x01\x00\x01" "A" "\x01\x00\x01" "B" "\x07\x00\x03"
                            "\x01\x00\x10java/lang/Object" "\x07\x00\x05"
                            "\x00\x21\x00\x04\x00\x06" // flags, this, super
                            "\x00\x00\x00\x00\x00\x00" // interfaces, fields, methods
                            "\x00\x01\x00\x01\x00\x00\x00\x02\x00\x02"s);
    std::string raw;
    ASSERT_TRUE(readFile(o.messageFile, raw));
    EXPECT_EQ(raw, "Vstupny subor OK\r\nVystupny subor OK\r\n");
}

TEST(JalClassFile, AccessFlagsAreOred)
{
    const std::pair<const char*, uint16_t> cases[] = {
        {"", 0x0020}, {"public final", 0x0031}, {"final public final", 0x0031}, {"public abstract interface", 0x0621}};
    for (const auto& [access, flags] : cases)
        EXPECT_EQ(translated(".source A\n.class "s + access + " B .super C\n").flags, flags) << access;
}

TEST(JalClassFile, PoolEntriesInSourceOrder)
{
    // From entry 7 on, the first after the minimal class.  A method's own
    // entries follow those of its code.
    const std::pair<std::string, const char*> cases[] = {
        {".method static m ()V\nldc \"x\"\nldc \"x\"\n.endm\n", "x | S:x | x | S:x | m | ()V | m ()V | M:B.m ()V | Code"},
        {".method static m ()V\nldc2_w 1.5\nldc2_w -0.25\n.endm\n",
         "D:1.5 | - | D:-0.25 | - | m | ()V | m ()V | M:B.m ()V | Code"},
        {".implements java/lang/Runnable\n.field private static x I\n.method public run ()V\ngetstatic x I\n.endm\n",
         "java/lang/Runnable | C:java/lang/Runnable | x | I | x I | F:B.x I | x | I | x I | F:B.x I"
         " | run | ()V | run ()V | M:B.run ()V | Code"},
    };
    for (const auto& [source, pool] : cases)
        EXPECT_EQ(translated(kHead + source).showPool(7), pool) << source;
}

TEST(JalClassFile, CodeBytes)
{
    for (Lines row : readTable("code_bytes.txt")) {
        SCOPED_TRACE(row[0]);
        row.resize(4);
        const ClassFile c = translated(kHead + ".method public static m ()V\n" + row[0] + "\n.endm\n");
        ASSERT_FALSE(c.methods.empty());
        const Method& m = c.methods.back();
        EXPECT_EQ(hex(m.code), row[1]);
        EXPECT_EQ(std::to_string(m.maxStack) + " " + std::to_string(m.maxLocals), row[3].empty() ? "10 2" : row[3]);
        // ldc names its constant in one byte, the others in two.
        const auto* b = reinterpret_cast<const unsigned char*>(m.code.data());
        const bool narrow = !m.code.empty() && b[0] == 0x12;
        if (!row[2].empty() && m.code.size() >= (narrow ? 2u : 3u)) {
            EXPECT_EQ(c.show(narrow ? b[1] : b[1] << 8 | b[2]), row[2]);
        }
    }
}

TEST(JalClassFile, LdcTakesTheWideFormFromIndex256)
{
    const std::tuple<int, const char*, bool> cases[] = {
        {8, "ldc", false}, {255, "ldc", false}, {256, "ldc", true}, {600, "ldc", true}, {8, "ldc_w", true}};
    for (const auto& [index, mnemonic, wide] : cases) {
        SCOPED_TRACE(mnemonic + (" at " + std::to_string(index)));
        // Padding: an empty method takes five numbers, each ldc2_w two.
        std::string src = kHead + (index % 2 ? ".method static pad ()V\n.endm\n" : "") + ".method static m ()V\n";
        for (int next = index % 2 ? 12 : 7; next < index - 1; next += 2)
            src += "ldc2_w 0.5\n";
        const ClassFile c = translated(src + mnemonic + " \"s\"\n.endm\n");
        ASSERT_EQ(c.show(index), "S:s");
        const std::string tail = wide ? "\x13"s + char(index >> 8) + char(index & 0xFF) : "\x12"s + char(index);
        const std::string& code = c.methods.back().code;
        EXPECT_EQ(hex(code.substr(code.size() - std::min(code.size(), tail.size()))), hex(tail));
    }
}

} // namespace
