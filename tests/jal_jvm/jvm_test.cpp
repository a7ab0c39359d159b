// Classes written by the jal command, run on a real JVM.
#include "jal_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace jaltest;

namespace {

ProcessResult run(const std::string& command)
{
    return runCommand(command + " 2>&1");
}

// A JDK tool from JAVA_HOME or PATH; "" when there is none.
std::string jdkTool(const std::string& name)
{
    if (const char* home = std::getenv("JAVA_HOME")) {
        std::string p = std::string(home) + "/bin/" + name;
        if (access(p.c_str(), X_OK) == 0)
            return p;
    }
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        std::string p = dirs.substr(start, end - start) + "/" + name;
        if (end > start && access(p.c_str(), X_OK) == 0)
            return p;
        start = end + 1;
    }
    return "";
}

class JalOnJvm : public ::testing::Test {
protected:
    void SetUp() override
    {
        java_ = jdkTool("java");
        javap_ = jdkTool("javap");
        // Silently passing without a JVM would hide broken class files.
        ASSERT_FALSE(java_.empty()) << "java not found (install default-jdk-headless)";
        ASSERT_FALSE(javap_.empty()) << "javap not found (install default-jdk-headless)";
    }

    // Translates file.jal with the jal command and stores the class as
    // ClassName.class, the name the case-sensitive JVM looks for.
    void assemble(const std::string& file, const std::string& className, const std::string& source)
    {
        writeFile(file, source);
        ProcessResult r = run(std::string(VORK_BIN_DIR) + "/jal " + file);
        ASSERT_EQ(r.status, 0) << r.output;
        EXPECT_EQ(r.output, "Vstupny subor OK\nVystupny subor OK\n");
        std::string bytes;
        const std::string upper = file.substr(0, file.rfind('.'));
        std::string written;
        for (char c : upper)
            written += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        ASSERT_TRUE(readFile(written + ".CLASS", bytes)) << written << ".CLASS";
        writeFile(className + ".class", bytes);

        ProcessResult v = run(javap_ + " -v -p " + className + ".class");
        EXPECT_EQ(v.status, 0) << v.output;
        EXPECT_EQ(v.output.find("Error"), std::string::npos) << v.output;
        EXPECT_NE(v.output.find("major version: 45"), std::string::npos) << v.output;
    }

    std::string runClass(const std::string& className)
    {
        ProcessResult r = run(java_ + " -Xshare:auto -cp . " + className);
        EXPECT_EQ(r.status, 0) << r.output;
        return r.output;
    }

    ScratchDir dir_;
    std::string java_;
    std::string javap_;
};

TEST_F(JalOnJvm, HelloWorld)
{
    assemble("hello.jal", "Hello",
             ".source hello.jal\n"
             ".class public Hello .super java/lang/Object\n"
             ".method public static main ([Ljava/lang/String;)V\n"
             "  getstatic java/lang/System out Ljava/io/PrintStream;\n"
             "  ldc \"Hello, world\"\n"
             "  invokevirtual java/io/PrintStream println (Ljava/lang/String;)V\n"
             "  return\n"
             ".endm\n");
    EXPECT_EQ(runClass("Hello"), "Hello, world\n");
}

TEST_F(JalOnJvm, StaticsLoopsConstantsAndAnInterface)
{
    assemble("counter.jal", "Counter", R"(.source counter.jal
.class public Counter .super java/lang/Object
.implements java/lang/Runnable
.field private static total I
.field public static scale D

.method public <init> ()V
  aload_0
  invokespecial java/lang/Object <init> ()V
  return
.endm

; 1 + 2 + ... + n, counting n down to 0
.method public static sum (I)I
  iconst_0
  istore_1
.1
  iload_0
  ifle .2
  iload_1
  iload_0
  iadd
  istore_1
  iinc 0 -1
  goto .1
.2
  iload_1
  ireturn
.endm

; the squares 0..n-1 into an array, then their sum via if_icmplt
.method public static squares (I)I
  .locals 4
  iload_0
  newarray int
  astore_1
  iconst_0
  istore_2
.3
  aload_1
  iload_2
  iload_2
  iload_2
  imul
  iastore
  iinc 2 1
  iload_2
  aload_1
  arraylength
  if_icmplt .3
  iconst_0
  istore_3
.4
  iinc 2 -1
  iload_3
  aload_1
  iload_2
  iaload
  iadd
  istore_3
  iload_2
  ifne .4
  iload_3
  ireturn
.endm

.method public run ()V
  getstatic java/lang/System out Ljava/io/PrintStream;
  ldc "run: ok"
  invokevirtual java/io/PrintStream println (Ljava/lang/String;)V
  return
.endm

.method public static main ([Ljava/lang/String;)V
  .stack 6
  bipush 10
  invokestatic sum (I)I
  putstatic total I
  getstatic java/lang/System out Ljava/io/PrintStream;
  getstatic total I
  invokevirtual java/io/PrintStream println (I)V

  getstatic java/lang/System out Ljava/io/PrintStream;
  sipush 300
  invokestatic Counter squares (I)I
  invokevirtual java/io/PrintStream println (I)V

  ldc2_w 2.5
  putstatic scale D
  getstatic java/lang/System out Ljava/io/PrintStream;
  getstatic scale D
  ldc2_w -4.0
  dmul
  invokevirtual java/io/PrintStream println (D)V

  new Counter
  dup
  invokespecial <init> ()V
  astore_1
  aload_1
  invokeinterface java/lang/Runnable run ()V 1
  ; Thread.run() calls run() of the Runnable it was given
  new java/lang/Thread
  dup
  aload_1
  invokespecial java/lang/Thread <init> (Ljava/lang/Runnable;)V
  invokevirtual java/lang/Thread run ()V
  return
.endm
)");
    EXPECT_EQ(runClass("Counter"), "55\n8955050\n-10.0\nrun: ok\nrun: ok\n");
}

TEST_F(JalOnJvm, InstanceMethodThroughInvokevirtual)
{
    assemble("polite.jal", "Polite", R"(.source polite.jal
.class public interface abstract Polite .super java/lang/Object
)");
    assemble("greeter.jal", "Greeter", R"(.source greeter.jal
.class public Greeter .super java/lang/Object
.implements Polite
.field private greeting Ljava/lang/String;

.method public <init> (Ljava/lang/String;)V
  aload_0
  invokespecial java/lang/Object <init> ()V
  aload_0
  aload_1
  putfield greeting Ljava/lang/String;
  return
.endm

.method public greet (Ljava/lang/String;)Ljava/lang/String;
  aload_0
  getfield greeting Ljava/lang/String;
  aload_1
  invokevirtual java/lang/String concat (Ljava/lang/String;)Ljava/lang/String;
  areturn
.endm
)");
    assemble("main.jal", "Main", R"(.source main.jal
.class public Main .super java/lang/Object
.method public static main ([Ljava/lang/String;)V
  new Greeter
  dup
  ldc "Ahoj, "
  invokespecial Greeter <init> (Ljava/lang/String;)V
  astore_1
  getstatic java/lang/System out Ljava/io/PrintStream;
  aload_1
  ldc "svet"
  invokevirtual Greeter greet (Ljava/lang/String;)Ljava/lang/String;
  invokevirtual java/io/PrintStream println (Ljava/lang/String;)V
  ; the interface assembled above, as the JVM linked it
  getstatic java/lang/System out Ljava/io/PrintStream;
  aload_1
  invokevirtual java/lang/Object getClass ()Ljava/lang/Class;
  invokevirtual java/lang/Class getInterfaces ()[Ljava/lang/Class;
  iconst_0
  aaload
  invokevirtual java/lang/Class getName ()Ljava/lang/String;
  invokevirtual java/io/PrintStream println (Ljava/lang/String;)V
  return
.endm
)");
    EXPECT_EQ(runClass("Main"), "Ahoj, svet\nPolite\n");
}

} // namespace
