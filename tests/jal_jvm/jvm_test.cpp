// Classes written by the jal command, checked by javap and run on a real JVM.
// The Jal programs are in data/.
#include "jal_test_support.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <unistd.h>

using namespace jaltest;

namespace {

// A JDK tool from JAVA_HOME, else from PATH; "" when there is none.
std::string jdkTool(const std::string& name)
{
    const char* home = std::getenv("JAVA_HOME");
    if (home && access((std::string(home) + "/bin/" + name).c_str(), X_OK) == 0)
        return std::string(home) + "/bin/" + name;
    std::string path = runCommand("command -v " + name).output;
    return path.substr(0, path.find('\n'));
}

TEST(JalOnJvm, TranslatedClassesRun)
{
    const std::string java = jdkTool("java"), javap = jdkTool("javap");
    // Passing without a JVM would hide broken class files.
    ASSERT_FALSE(java.empty() || javap.empty()) << "java and javap are needed (install default-jdk-headless)";
    struct Case {
        const char* name;
        std::vector<std::string> classes; // data/<lower-case name>.jal, in translation order
        std::string output;
    } cases[] = {
        {"hello world", {"Hello"}, "Hello, world\n"},
        {"statics, loops with branches, string and double constants, an interface implemented",
         {"Counter"}, "55\n8955050\n-10.0\nrun: ok\nrun: ok\n"},
        {"an instance method called through invokevirtual", {"Polite", "Greeter", "Main"}, "Ahoj, svet\nPolite\n"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        ScratchDir dir;
        for (const std::string& cls : k.classes) {
            std::string file, source, bytes;
            for (char c : cls)
                file += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            ASSERT_TRUE(readFile(VORK_SOURCE_DIR "/tests/jal_jvm/data/" + file + ".jal", source)) << file;
            writeFile(file + ".jal", source);
            const Process jal = runCommand(VORK_BIN_DIR "/jal " + file + ".jal 2>&1");
            EXPECT_EQ(jal.status, 0);
            EXPECT_EQ(jal.output, "Vstupny subor OK\nVystupny subor OK\n");
            // The JVM looks for the class under its own, mixed-case name.
            std::string upper = file;
            for (char& c : upper)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            ASSERT_TRUE(readFile(upper + ".CLASS", bytes)) << upper;
            writeFile(cls + ".class", bytes);
            const Process v = runCommand(javap + " -v -p " + cls + ".class 2>&1");
            EXPECT_EQ(v.status, 0) << v.output;
            EXPECT_EQ(v.output.find("Error"), std::string::npos) << v.output;
            EXPECT_NE(v.output.find("major version: 45"), std::string::npos) << v.output;
        }
        const Process r = runCommand(java + " -Xshare:auto -cp . " + k.classes.back() + " 2>&1");
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.output, k.output);
    }
}

} // namespace

namespace {

// What String.hashCode() gives for a text of UTF-16 code units.
int32_t javaHash(const std::u16string& text)
{
    uint32_t h = 0;
    for (char16_t c : text)
        h = 31 * h + c;
    return static_cast<int32_t>(h);
}

// A class whose main prints the length and the hash of one ldc string.
std::string stringProgram(const std::string& literal)
{
    std::string out = ".source s.jal\n.class public S .super java/lang/Object\n"
                      ".method public static main ([Ljava/lang/String;)V\n";
    for (const char* method : {"length", "hashCode"})
        out += "  getstatic java/lang/System out Ljava/io/PrintStream;\n  ldc \"" + literal +
               "\"\n  invokevirtual java/lang/String " + method +
               " ()I\n  invokevirtual java/io/PrintStream println (I)V\n";
    return out + "  return\n.endm\n";
}

} // namespace

// Strings the JVM takes: NUL and characters beyond the BMP in its modified
// UTF-8, and a source in Windows-1250 read as such.
TEST(JalOnJvm, StringsReachTheJvmAsWritten)
{
    const std::string java = jdkTool("java"), javap = jdkTool("javap");
    ASSERT_FALSE(java.empty() || javap.empty()) << "java and javap are needed (install default-jdk-headless)";
    struct Case {
        const char* name;
        std::string literal;   // the bytes between the quotes in the source
        std::u16string text;   // what the JVM must see
        std::string stored;    // the Utf8 entry's bytes in the class file
    } cases[] = {
        {"plain ASCII", "Ahoj", u"Ahoj", "Ahoj"},
        {"NUL", std::string("a\0b", 3), std::u16string(u"a\0b", 3), "a\xC0\x80" "b"},
        {"Slovak letters in UTF-8", "\xC4\xBE\xC5\xA1\xC4\x8D\xC5\xA5\xC5\xBE", u"\u013E\u0161\u010D\u0165\u017E",
         "\xC4\xBE\xC5\xA1\xC4\x8D\xC5\xA5\xC5\xBE"},
        {"the same letters in Windows-1250", "\xBE\x9A\xE8\x9D\x9E", u"\u013E\u0161\u010D\u0165\u017E",
         "\xC4\xBE\xC5\xA1\xC4\x8D\xC5\xA5\xC5\xBE"},
        {"a character beyond the BMP", "x\xF0\x9F\x98\x80y", u"x\U0001F600y",
         "x\xED\xA0\xBD\xED\xB8\x80y"},
        {"NUL after a character beyond the BMP", std::string("\xF0\x9F\x98\x80\0", 5),
         std::u16string(u"\U0001F600\0", 3), std::string("\xED\xA0\xBD\xED\xB8\x80\xC0\x80", 8)},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        ScratchDir dir;
        writeFile("s.jal", stringProgram(k.literal));
        const Process jal = runCommand(VORK_BIN_DIR "/jal s.jal 2>&1");
        EXPECT_EQ(jal.status, 0);
        EXPECT_EQ(jal.output, "Vstupny subor OK\nVystupny subor OK\n");
        std::string bytes, error;
        ASSERT_TRUE(readFile("S.CLASS", bytes));
        ClassFile cls;
        ASSERT_TRUE(parseClass(bytes, cls, error)) << error;
        bool found = false;
        for (const Entry& e : cls.pool)
            found = found || (e.tag == 8 && cls.pool.at(e.a).text == k.stored);
        EXPECT_TRUE(found) << cls.showPool(1);
        writeFile("S.class", bytes);
        const Process v = runCommand(javap + " -v -p S.class 2>&1");
        EXPECT_EQ(v.status, 0) << v.output;
        const Process r = runCommand(java + " -Xshare:auto -cp . S 2>&1");
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_EQ(r.output, std::to_string(k.text.size()) + "\n" + std::to_string(javaHash(k.text)) + "\n");
    }
}

// The Utf8 entry's one-byte length counts the bytes as stored: a text that
// grows past 255 bytes in modified UTF-8 is refused, not cut.
TEST(JalOnJvm, TextsTooLongOnceEncodedAreRefused)
{
    struct Case {
        const char* name;
        std::string literal;
        int status;
    } cases[] = {
        {"255 bytes of ASCII", std::string(255, 'a'), 0},
        {"63 characters beyond the BMP: 252 bytes in UTF-8, 378 stored", [] {
             std::string s;
             for (int i = 0; i < 63; ++i)
                 s += "\xF0\x9F\x98\x80";
             return s;
         }(), 1},
        {"128 NULs: 256 bytes stored", std::string(128, '\0'), 1},
        {"127 NULs: 254 bytes stored", std::string(127, '\0'), 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        ScratchDir dir;
        writeFile("s.jal", stringProgram(k.literal));
        const Process jal = runCommand(VORK_BIN_DIR "/jal s.jal 2>&1");
        EXPECT_EQ(jal.status, k.status) << jal.output;
        EXPECT_EQ(jal.output.find("prilis dlhy text (najviac 255 bajtov)") != std::string::npos, k.status == 1)
            << jal.output;
    }
}
