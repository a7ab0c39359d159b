#include "vork/project/command_line.h"

#include <sys/stat.h>
#include <unistd.h>

namespace vork {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isExecutableFile(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

} // namespace

std::vector<std::string> splitCommandLine(const std::string& line)
{
    std::vector<std::string> words;
    size_t i = 0;
    const size_t n = line.size();
    for (;;) {
        while (i < n && isBlank(line[i]))
            ++i;
        if (i >= n)
            break;
        std::string word;
        bool quoted = false;
        while (i < n && (quoted || !isBlank(line[i]))) {
            if (line[i] == '\\') {
                size_t slashes = 0;
                while (i < n && line[i] == '\\') {
                    ++slashes;
                    ++i;
                }
                if (i < n && line[i] == '"') {
                    word.append(slashes / 2, '\\');
                    if (slashes % 2) {
                        word += '"';
                        ++i;
                    }
                    // An even count leaves the quote to the code below.
                } else {
                    word.append(slashes, '\\');
                }
                continue;
            }
            if (line[i] == '"') {
                if (quoted && i + 1 < n && line[i + 1] == '"') {
                    word += '"';
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            word += line[i++];
        }
        words.push_back(std::move(word));
    }
    return words;
}

std::string quoteArgument(const std::string& word)
{
    if (!word.empty() && word.find_first_of(" \t\"") == std::string::npos)
        return word;
    std::string out = "\"";
    size_t slashes = 0;
    for (char c : word) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        if (c == '"') {
            out.append(slashes * 2 + 1, '\\');
            out += '"';
        } else {
            out.append(slashes, '\\');
            out += c;
        }
        slashes = 0;
    }
    // Backslashes before the closing quote must not escape it.
    out.append(slashes * 2, '\\');
    out += '"';
    return out;
}

std::string joinArguments(const std::vector<std::string>& words)
{
    std::string out;
    for (const std::string& w : words) {
        if (!out.empty())
            out += ' ';
        out += quoteArgument(w);
    }
    return out;
}

std::string findProgram(const std::string& word, const std::string& pathList, const std::string& fallbackDir)
{
    if (word.empty())
        return std::string();
    if (word.find('/') != std::string::npos)
        return isExecutableFile(word) ? word : std::string();
    size_t i = 0;
    for (;;) {
        size_t j = pathList.find(':', i);
        std::string dir = pathList.substr(i, j == std::string::npos ? std::string::npos : j - i);
        // An empty entry means the current directory, as in the shell.
        if (dir.empty())
            dir = ".";
        const std::string candidate = dir + "/" + word;
        if (isExecutableFile(candidate))
            return candidate;
        if (j == std::string::npos)
            break;
        i = j + 1;
    }
    if (!fallbackDir.empty()) {
        std::string candidate = fallbackDir;
        if (candidate.back() != '/')
            candidate += '/';
        candidate += word;
        if (isExecutableFile(candidate))
            return candidate;
    }
    return std::string();
}

} // namespace vork
