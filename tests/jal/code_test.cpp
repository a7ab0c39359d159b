// The bytes each kind of statement emits, and branch fix-ups.
#include "jal_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace jaltest;

namespace {

const std::string kHead = ".source A\n.class public B .super java/lang/Object\n";

std::string hex(const std::string& bytes)
{
    std::string out;
    char buf[4];
    for (unsigned char b : bytes) {
        std::snprintf(buf, sizeof buf, "%02x", b);
        out += out.empty() ? "" : " ";
        out += buf;
    }
    return out;
}

// Translates one method body; returns the method's code as hex, or the
// console text when the translation failed.
std::string codeOf(const std::string& body, ClassFile* cls = nullptr)
{
    ScratchDir dir;
    Outcome o = translate(kHead + ".method public static m ()V\n" + body + "\n.endm\n");
    if (!o.ok)
        return "failed: " + o.console;
    ClassFile c;
    std::string error;
    if (!parseClass(o.classBytes, c, error))
        return "unreadable: " + error;
    if (cls)
        *cls = c;
    return c.methods.empty() ? "no method" : hex(c.methods[0].code);
}

TEST(JalCode, InstructionBytes)
{
    // The first constant an instruction adds is number 7; a Class entry
    // is preceded by its Utf8, so its number is 8.
    struct Case {
        const char* body;
        const char* code;
    } cases[] = {
        {"nop", "00"},
        {"iconst_m1 iconst_5 dconst_1", "02 08 0f"},
        {"bipush -1", "10 ff"},
        {"bipush 300", "10 2c"},
        {"sipush -2", "11 ff fe"},
        {"sipush 70000", "11 11 70"},
        {"iload 5 astore 255", "15 05 3a ff"},
        {"aload_0 istore_3 iaload sastore", "2a 3e 2e 56"},
        {"iinc 3 -1", "84 03 ff"},
        {"iinc 1 100", "84 01 64"},
        {"newarray int", "bc 0a"},
        {"newarray boolean newarray long", "bc 04 bc 0b"},
        {"new java/lang/Object", "bb 00 08"},
        {"anewarray java/lang/String", "bd 00 08"},
        {"multianewarray [[I 2", "c5 00 08 02"},
        {"invokeinterface run ()V 1", "b9 00 0a 01 00"},
        {"invokeinterface java/lang/Runnable run ()V 1", "b9 00 0c 01 00"},
        {"getstatic f I", "b2 00 0a"},
        {"getstatic java/lang/System out Ljava/io/PrintStream;", "b2 00 0c"},
        {"invokevirtual m ()V", "b6 00 0a"},
        {"ret 2 wide 7", "a9 02 c4 07"},
        {"arraylength athrow monitorenter monitorexit", "be bf c2 c3"},
        {"lcmp dcmpg i2s iadd lxor", "94 98 93 60 83"},
        {"ireturn lreturn freturn dreturn areturn return", "ac ad ae af b0 b1"},
        {".stack 4 .locals 7 return", "b1"},
        {"return ; a comment with ldc \"x\"", "b1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(codeOf(c.body), c.code) << c.body;
}

TEST(JalCode, BranchOffsets)
{
    struct Case {
        const char* body;
        const char* code;
    } cases[] = {
        // goto at 4, label 2 at 10: offset 6.
        {"nop nop nop nop goto .2 nop nop nop .2 return", "00 00 00 00 a7 00 06 00 00 00 b1"},
        // Backwards: label 1 at 1, ifeq at 3.
        {"nop .1 iconst_0 nop ifeq .1", "00 03 00 99 ff fe"},
        // A branch to itself.
        {".7 goto .7", "a7 00 00"},
        // Both kinds in one method, several references to one label.
        {".0 iconst_1 ifne .9 goto .0 .9 goto .9 return",
         "04 9a 00 06 a7 ff fc a7 00 00 b1"},
        {"aconst_null ifnull .99 .99 return", "01 c6 00 03 b1"},
        // An undefined label stands for position 0.
        {"nop nop goto .42", "00 00 a7 ff fe"},
        // A redefined label: the last definition counts.
        {".3 nop .3 goto .3", "00 a7 00 00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(codeOf(c.body), c.code) << c.body;
}

TEST(JalCode, MethodStateStartsFreshInEveryMethod)
{
    ScratchDir dir;
    Outcome o = translate(kHead +
                          ".method static a ()V\n.stack 3 .locals 9\nnop .5 goto .5\n.endm\n"
                          ".method static b ()V\ngoto .5\n.endm\n");
    ASSERT_TRUE(o.ok) << o.console;
    ClassFile c;
    std::string error;
    ASSERT_TRUE(parseClass(o.classBytes, c, error)) << error;
    ASSERT_EQ(c.methods.size(), 2u);
    EXPECT_EQ(c.methods[0].maxStack, 3);
    EXPECT_EQ(c.methods[0].maxLocals, 9);
    EXPECT_EQ(hex(c.methods[0].code), "00 a7 00 00");
    EXPECT_EQ(c.methods[1].maxStack, 10);
    EXPECT_EQ(c.methods[1].maxLocals, 2);
    // Label 5 of the first method is gone: position 0 again.
    EXPECT_EQ(hex(c.methods[1].code), "a7 00 00");
}

TEST(JalCode, ConstantsAddedByInstructions)
{
    ClassFile c;
    ASSERT_EQ(codeOf("multianewarray [[Ljava/lang/String; 3", &c), "c5 00 08 03");
    EXPECT_EQ(c.className(8), "[[Ljava/lang/String;");

    ASSERT_EQ(codeOf("ldc \"two words; and \n a newline\"", &c), "12 08");
    EXPECT_EQ(c.utf8(7), "two words; and \n a newline");
}

} // namespace
