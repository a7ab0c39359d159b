// vork-man SOURCE OUTPUT VERSION: renders one manual page at build time.
#include "mantext.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: vork-man SOURCE OUTPUT VERSION\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << argv[1] << "(0): cannot read\n";
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string page;
    try {
        page = vork::man::render(text.str(), argv[3]);
    } catch (const std::exception& e) {
        // "file(line): message", like every other diagnostic here.
        const std::string what = e.what();
        std::cerr << argv[1] << "(1): " << what.substr(what.find(':') + 2) << "\n";
        return 1;
    }
    const std::string tmp = std::string(argv[2]) + ".tmp";
    std::ofstream out(tmp, std::ios::binary);
    out << page;
    out.close();
    if (!out || std::rename(tmp.c_str(), argv[2]) != 0) {
        std::remove(tmp.c_str());
        std::cerr << argv[2] << "(0): cannot write\n";
        return 1;
    }
    return 0;
}
