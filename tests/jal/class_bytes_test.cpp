// Header, constant pool and member records of translated classes.
#include "jal_test_support.h"

#include <gtest/gtest.h>

using namespace jaltest;

namespace {

const std::string kHead = ".source A\n.class public B .super java/lang/Object\n";

ClassFile translated(const std::string& source)
{
    Outcome o = translate(source);
    EXPECT_TRUE(o.ok) << o.console;
    EXPECT_TRUE(o.classWritten);
    ClassFile c;
    std::string error;
    EXPECT_TRUE(parseClass(o.classBytes, c, error)) << error;
    return c;
}

TEST(JalClassBytes, MinimalClassIsByteExact)
{
    ScratchDir dir;
    Outcome o = translate(kHead);
    ASSERT_TRUE(o.ok) << o.console;
    const std::string expected = std::string("\xCA\xFE\xBA\xBE\x00\x03\x00\x2D" // magic, 45.3
                                             "\x00\x07"                         // pool count
                                             "\x01\x00\x0ASourceFile"
                                             "\x01\x00\x01"
                                             "A"
                                             "\x01\x00\x01"
                                             "B"
                                             "\x07\x00\x03"
                                             "\x01\x00\x10java/lang/Object"
                                             "\x07\x00\x05"
                                             "\x00\x21\x00\x04\x00\x06" // flags, this, super
                                             "\x00\x00\x00\x00\x00\x00" // interfaces, fields, methods
                                             "\x00\x01\x00\x01\x00\x00\x00\x02\x00\x02",
                                             8 + 2 + 13 + 4 + 4 + 3 + 19 + 3 + 6 + 6 + 10);
    EXPECT_EQ(o.classBytes, expected);
    EXPECT_EQ(o.console, "");
}

TEST(JalClassBytes, FlagsAreOredAndGetSuper)
{
    struct Case {
        const char* access;
        uint16_t flags;
    } cases[] = {
        {"", 0x0020},
        {"public", 0x0021},
        {"public final", 0x0031},
        {"final public final", 0x0031},
        {"public abstract interface", 0x0621},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        ClassFile cls = translated(std::string(".source A\n.class ") + c.access + " B .super C\n");
        EXPECT_EQ(cls.flags, c.flags) << c.access;
    }
}

TEST(JalClassBytes, TwoEqualStringsMakeTwoEntriesEach)
{
    ScratchDir dir;
    ClassFile c = translated(kHead + ".method public static m ()V\nldc \"x\"\nldc \"x\"\nreturn\n.endm\n");
    ASSERT_GE(c.pool.size(), 11u);
    EXPECT_EQ(c.pool[7].tag, 1);
    EXPECT_EQ(c.pool[7].text, "x");
    EXPECT_EQ(c.pool[8].tag, 8);
    EXPECT_EQ(c.pool[8].a, 7);
    EXPECT_EQ(c.pool[9].tag, 1);
    EXPECT_EQ(c.pool[9].text, "x");
    EXPECT_EQ(c.pool[10].tag, 8);
    EXPECT_EQ(c.pool[10].a, 9);
    ASSERT_EQ(c.methods.size(), 1u);
    EXPECT_EQ(c.methods[0].code, std::string("\x12\x08\x12\x0A\xB1", 5));
}

TEST(JalClassBytes, DoubleTakesTwoNumbers)
{
    ScratchDir dir;
    ClassFile c = translated(kHead + ".method public static m ()V\nldc2_w 1.5\nldc2_w -0.25\nldc \"s\"\n.endm\n");
    ASSERT_GE(c.pool.size(), 13u);
    EXPECT_EQ(c.pool[7].tag, 6);
    EXPECT_EQ(c.pool[7].number, 1.5);
    EXPECT_EQ(c.pool[8].tag, 0);
    EXPECT_EQ(c.pool[9].tag, 6);
    EXPECT_EQ(c.pool[9].number, -0.25);
    EXPECT_EQ(c.pool[11].tag, 1);
    EXPECT_EQ(c.pool[12].tag, 8);
    EXPECT_EQ(c.methods[0].code, std::string("\x14\x00\x07\x14\x00\x09\x12\x0C", 8));
}

TEST(JalClassBytes, DoubleIsStoredMostSignificantByteFirst)
{
    ScratchDir dir;
    Outcome o = translate(kHead + ".method public static m ()V\nldc2_w 1.5\n.endm\n");
    ASSERT_TRUE(o.ok);
    const std::string onePointFive("\x06\x3F\xF8\x00\x00\x00\x00\x00\x00", 9);
    EXPECT_NE(o.classBytes.find(onePointFive), std::string::npos);
}

TEST(JalClassBytes, PoolFollowsSourceOrder)
{
    ScratchDir dir;
    ClassFile c = translated(kHead +
                             ".implements java/lang/Runnable\n"
                             ".field private static x I\n"
                             ".method public run ()V\n"
                             "  getstatic x I\n"
                             "  return\n"
                             ".endm\n");
    std::vector<uint8_t> tags;
    for (std::size_t i = 7; i < c.pool.size(); ++i)
        tags.push_back(c.pool[i].tag);
    // Class Runnable; field x: NameAndType, Fieldref; getstatic: the same
    // again; method run: NameAndType, Methodref, "Code".
    const std::vector<uint8_t> expected = {1, 7, 1, 1, 12, 9, 1, 1, 12, 9, 1, 1, 12, 10, 1};
    EXPECT_EQ(tags, expected);

    ASSERT_EQ(c.interfaces.size(), 1u);
    EXPECT_EQ(c.className(c.interfaces[0]), "java/lang/Runnable");

    ASSERT_EQ(c.fields.size(), 1u);
    EXPECT_EQ(c.fields[0].flags, 0x000A);
    EXPECT_EQ(c.utf8(c.fields[0].name), "x");
    EXPECT_EQ(c.utf8(c.fields[0].descriptor), "I");
    EXPECT_EQ(c.pool[12].a, c.thisClass); // the field's own Fieldref
    EXPECT_EQ(c.pool[16].a, c.thisClass); // getstatic of this class

    ASSERT_EQ(c.methods.size(), 1u);
    const Member& m = c.methods[0];
    EXPECT_EQ(m.flags, 0x0001);
    EXPECT_EQ(c.utf8(m.name), "run");
    EXPECT_EQ(c.utf8(m.descriptor), "()V");
    EXPECT_EQ(c.utf8(m.codeName), "Code");
    EXPECT_EQ(m.attributeLength, m.code.size() + 12);
    EXPECT_EQ(m.code, std::string("\xB2\x00\x10\xB1", 4));
    EXPECT_EQ(c.pool[20].tag, 10);
    EXPECT_EQ(c.pool[20].a, c.thisClass);

    EXPECT_EQ(c.attributeCount, 1);
    EXPECT_EQ(c.utf8(c.sourceAttrName), "SourceFile");
    EXPECT_EQ(c.sourceAttrLength, 2u);
    EXPECT_EQ(c.utf8(c.sourceName), "A");
}

TEST(JalClassBytes, MemberReferencesNameTheirClass)
{
    struct Case {
        const char* statement;
        uint8_t tag;
        const char* cls; // nullptr: this class
        const char* name;
        const char* descriptor;
    } cases[] = {
        {"getstatic f I", 9, nullptr, "f", "I"},
        {"putfield p/Q f [I", 9, "p/Q", "f", "[I"},
        {"invokestatic m (I)V", 10, nullptr, "m", "(I)V"},
        {"invokespecial java/lang/Object <init> ()V", 10, "java/lang/Object", "<init>", "()V"},
        {"invokeinterface run ()V 1", 11, nullptr, "run", "()V"},
        {"invokeinterface java/lang/Runnable run ()V 1", 11, "java/lang/Runnable", "run", "()V"},
    };
    for (const Case& k : cases) {
        ScratchDir dir;
        ClassFile c = translated(kHead + ".method public static m ()V\n" + k.statement + "\n.endm\n");
        ASSERT_EQ(c.methods.size(), 1u) << k.statement;
        const std::string& code = c.methods[0].code;
        ASSERT_GE(code.size(), 3u);
        const uint16_t ref = static_cast<uint16_t>(static_cast<uint8_t>(code[1]) << 8 | static_cast<uint8_t>(code[2]));
        ASSERT_LT(ref, c.pool.size()) << k.statement;
        const PoolEntry& e = c.pool[ref];
        EXPECT_EQ(e.tag, k.tag) << k.statement;
        if (k.cls)
            EXPECT_EQ(c.className(e.a), k.cls) << k.statement;
        else
            EXPECT_EQ(e.a, c.thisClass) << k.statement;
        const PoolEntry& nat = c.pool[e.b];
        EXPECT_EQ(nat.tag, 12) << k.statement;
        EXPECT_EQ(c.utf8(nat.a), k.name) << k.statement;
        EXPECT_EQ(c.utf8(nat.b), k.descriptor) << k.statement;
    }
}

// Pads the pool so that the String of the tested ldc lands on `index`:
// each ldc2_w takes two numbers, an empty method before it five.
std::string ldcAt(int index, const char* mnemonic)
{
    std::string src = kHead;
    int next = 7; // first free number after the minimal class
    if ((index - 1 - next) % 2 != 0) {
        src += ".method static pad ()V\n.endm\n";
        next += 5;
    }
    src += ".method static m ()V\n";
    for (; next < index - 1; next += 2)
        src += "ldc2_w 0.5\n";
    src += std::string(mnemonic) + " \"s\"\n.endm\n";
    return src;
}

TEST(JalClassBytes, LdcUsesTheWideFormFromIndex256)
{
    struct Case {
        int index;
        const char* mnemonic;
        bool wide;
    } cases[] = {
        {8, "ldc", false},    {13, "ldc", false},   {254, "ldc", false}, {255, "ldc", false},
        {256, "ldc", true},   {257, "ldc", true},   {600, "ldc", true},  {8, "ldc_w", true},
        {255, "ldc_w", true}, {256, "ldc_w", true},
    };
    for (const Case& k : cases) {
        ScratchDir dir;
        ClassFile c = translated(ldcAt(k.index, k.mnemonic));
        ASSERT_EQ(c.pool[k.index].tag, 8) << k.index;
        const std::string& code = c.methods.back().code;
        std::string tail;
        if (k.wide)
            tail = {'\x13', static_cast<char>(k.index >> 8), static_cast<char>(k.index & 0xFF)};
        else
            tail = {'\x12', static_cast<char>(k.index)};
        ASSERT_GE(code.size(), tail.size());
        EXPECT_EQ(code.substr(code.size() - tail.size()), tail) << k.mnemonic << " at " << k.index;
    }
}

} // namespace
