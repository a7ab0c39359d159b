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
