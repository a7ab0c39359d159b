// The bytes of translated classes: header, constant pool and code.
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
    ASSERT_TRUE(readFile("jaltemp.tmp", raw));
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

TEST(JalClassFile, MethodSizes)
{
    const std::tuple<const char*, int, int> cases[] = {{"", 10, 2}, {".stack 3 .locals 9", 3, 9}};
    for (const auto& [body, stack, locals] : cases) {
        const ClassFile c = translated(kHead + ".method m ()V\n" + body + "\nreturn\n.endm\n");
        ASSERT_EQ(c.methods.size(), 1u);
        EXPECT_EQ(c.methods[0].maxStack, stack) << body;
        EXPECT_EQ(c.methods[0].maxLocals, locals) << body;
    }
}

TEST(JalClassFile, CodeBytes)
{
    // The first constant an instruction adds is number 7; a Class entry
    // comes after its Utf8, so it is number 8.
    struct Case {
        const char* body;
        const char* code;
        const char* ref = ""; // the constant the first instruction names
    } cases[] = {
        {"nop iconst_m1 iconst_5 dconst_1", "00 02 08 0f"},
        {"bipush -1 bipush 300 sipush -2 sipush 70000", "10 ff 10 2c 11 ff fe 11 11 70"},
        {"iload 5 astore 255 aload_0 istore_3 iaload sastore", "15 05 3a ff 2a 3e 2e 56"},
        {"iinc 3 -1 iinc 1 100", "84 03 ff 84 01 64"},
        {"newarray int newarray boolean newarray long", "bc 0a bc 04 bc 0b"},
        {"ret 2 wide 7 arraylength monitorexit lcmp dcmpg i2s lxor", "a9 02 c4 07 be c3 94 98 93 83"},
        {"ireturn lreturn freturn dreturn areturn return ; ldc \"x\"", "ac ad ae af b0 b1"},
        {"nop tableswitch lookupswitch instanceof return", "00 b1"},
        {"ldc2_w 1.5 ldc2_w -0.25 ldc \"s\"", "14 00 07 14 00 09 12 0c", "D:1.5"},
        {"ldc \"two words; and \n a newline\"", "12 08", "S:two words; and \n a newline"},
        {"new java/lang/Object", "bb 00 08", "C:java/lang/Object"},
        {"anewarray java/lang/String", "bd 00 08", "C:java/lang/String"},
        {"multianewarray [[Ljava/lang/String; 3", "c5 00 08 03", "C:[[Ljava/lang/String;"},
        {"getstatic f I", "b2 00 0a", "F:B.f I"},
        {"putfield p/Q f [I", "b5 00 0c", "F:p/Q.f [I"},
        {"invokevirtual m ()V", "b6 00 0a", "M:B.m ()V"},
        {"invokespecial java/lang/Object <init> ()V", "b7 00 0c", "M:java/lang/Object.<init> ()V"},
        {"invokeinterface run ()V 1", "b9 00 0a 01 00", "I:B.run ()V"},
        {"invokeinterface java/lang/Runnable run ()V 1", "b9 00 0c 01 00", "I:java/lang/Runnable.run ()V"},
        // Branches: forward (goto at 4 to 10), backward, to itself.
        {"nop nop nop nop goto .2 nop nop nop .2 return", "00 00 00 00 a7 00 06 00 00 00 b1"},
        {"nop .1 iconst_0 nop ifeq .1", "00 03 00 99 ff fe"},
        {".0 iconst_1 ifne .9 goto .0 .9 goto .9 return", "04 9a 00 06 a7 ff fc a7 00 00 b1"},
        {"aconst_null ifnull .99 .99 return", "01 c6 00 03 b1"},
        // An undefined label stands for position 0, also one defined only
        // in the method before; a redefined one counts where defined last.
        {"nop nop goto .42", "00 00 a7 ff fe"},
        {"nop .5\n.endm\n.method static n ()V\nnop goto .5", "00 a7 ff ff"},
        {".3 nop .3 goto .3", "00 a7 00 00"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.body);
        const ClassFile c = translated(kHead + ".method public static m ()V\n" + k.body + "\n.endm\n");
        ASSERT_FALSE(c.methods.empty());
        const std::string& code = c.methods.back().code;
        EXPECT_EQ(hex(code), k.code);
        const auto* b = reinterpret_cast<const unsigned char*>(code.data());
        if (*k.ref) {
            EXPECT_EQ(c.show(b[0] == 0x12 ? b[1] : b[1] << 8 | b[2]), k.ref);
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
