// jal FILE.jal: translates one Jal source into its .CLASS file and shows the
// translator's messages, as the environment does after "Spustiť Jal".
#include "jal/jal.h"
#include "vork/progdir.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

void usage(std::FILE* to)
{
    std::fputs("Pouzitie: jal [--] SUBOR.jal\n"
               "Prelozi zdrojovy subor Jal do suboru triedy SUBOR.CLASS.\n"
               "  --         dalsie slovo je SUBOR, aj ked sa zacina '-'\n"
               "  --help     tento text\n"
               "  --version  verzia\n",
               to);
}

// Shows the message file's lines and removes it, like the environment does.
// The file is the one this translation created, and no other.
void showMessages(const std::string& messageFile)
{
    if (messageFile.empty())
        return;
    std::ifstream in(messageFile, std::ios::binary);
    if (!in)
        return;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::cout << line << '\n';
    }
    in.close();
    std::remove(messageFile.c_str());
}

// The translator's error lines read "MESSAGE(LINE n: TOKEN)".  On the
// command line each gets "FILE(n): " in front, the form that editors and
// build logs link to a source line; the line itself stays as the IDE shows
// it.
std::string withLocation(const std::string& file, const std::string& line)
{
    const size_t at = line.find("(LINE ");
    if (at == std::string::npos)
        return line;
    size_t end = at + 6;
    while (end < line.size() && line[end] >= '0' && line[end] <= '9')
        ++end;
    if (end == at + 6 || end >= line.size() || line[end] != ':')
        return line;
    return file + "(" + line.substr(at + 6, end - at - 6) + "): " + line;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        usage(stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("jal (VORK) %s\n", vork::versionString());
        return 0;
    }
    // "--" ends the options: the word after it is the source, whatever it
    // begins with.
    const bool marked = argc == 3 && std::strcmp(argv[1], "--") == 0;
    const char* source = marked ? argv[2] : argc == 2 ? argv[1] : nullptr;
    if (!source || source[0] == '\0' || (!marked && source[0] == '-' && source[1] == '-')) {
        usage(stderr);
        return 2;
    }
    std::ostringstream console;
    std::string messageFile;
    const bool ok = jal::jal_translate(source, console, &messageFile);
    std::istringstream lines(console.str());
    for (std::string line; std::getline(lines, line);)
        std::cout << withLocation(source, line) << '\n';
    std::cout.flush();
    showMessages(messageFile);
    return ok ? 0 : 1;
}
