// Language server benchmark (not a test): the time from a change of a
// buffer to the diagnostics of that change (errors and conflicts, the
// examples not counted), for the generated grammars of a thousand and of
// two thousand productions and for a C grammar of about two hundred
// productions, all in large mode; and the time the server takes to answer
// an editor's requests on the two-thousand-production grammar (outline,
// completion, hover, definition, references, and taking in a change).
//
//   cmake --build build --target bench-lsp
#include "big_grammar.h"
#include "server.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Watch {
    std::mutex mutex;
    std::condition_variable seen;
    int wanted = -1;
    bool first = false;
    int diagnostics = 0;
    Clock::time_point at;
};

std::string readFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

void run(const char* name, const std::string& grammar)
{
    Watch w;
    vork::lsp::ServerOptions options;
    options.analyzer.yaccSkeleton = VORK_BIN_DIR "/yaccpar";
    options.analyzer.lexSkeleton = VORK_BIN_DIR "/ncform";
    options.analyzer.large = 1;
    options.debounceMs = 0;  // the editor's pause is not the server's time
    vork::lsp::Server server(options, [&w](const QByteArray& framed) {
        const QJsonObject m = QJsonDocument::fromJson(framed.mid(framed.indexOf("\r\n\r\n") + 4)).object();
        if (m.value("method") != "textDocument/publishDiagnostics")
            return;
        const QJsonObject p = m.value("params").toObject();
        std::lock_guard<std::mutex> lock(w.mutex);
        if (p.value("version").toInt() == w.wanted && !w.first) {
            w.first = true;
            w.diagnostics = static_cast<int>(p.value("diagnostics").toArray().size());
            w.at = Clock::now();
            w.seen.notify_all();
        }
    });
    auto send = [&](const QJsonObject& m) { server.handle(QJsonDocument(m).toJson(QJsonDocument::Compact).toStdString()); };
    auto await = [&](int version) {
        std::unique_lock<std::mutex> lock(w.mutex);
        w.seen.wait(lock, [&] { return w.first; });
        (void)version;
    };
    const QString uri = "file:///bench/grammar.y";
    send(QJsonObject{{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", QJsonObject()}});
    {
        std::lock_guard<std::mutex> lock(w.mutex);
        w.wanted = 1;
    }
    send(QJsonObject{{"jsonrpc", "2.0"},
                     {"method", "textDocument/didOpen"},
                     {"params", QJsonObject{{"textDocument", QJsonObject{{"uri", uri},
                                                                         {"languageId", "yacc"},
                                                                         {"version", 1},
                                                                         {"text", QString::fromStdString(grammar)}}}}}});
    await(1);
    server.waitIdle();

    std::vector<double> ms;
    int diagnostics = 0;
    for (int v = 2; v <= 21; ++v) {
        // An edit as typing makes it: a comment grows at the end.
        const std::string text = grammar + "/* edit " + std::to_string(v) + " */\n";
        const QJsonObject change{
            {"jsonrpc", "2.0"},
            {"method", "textDocument/didChange"},
            {"params", QJsonObject{{"textDocument", QJsonObject{{"uri", uri}, {"version", v}}},
                                   {"contentChanges", QJsonArray{QJsonObject{{"text", QString::fromStdString(text)}}}}}}};
        {
            std::lock_guard<std::mutex> lock(w.mutex);
            w.wanted = v;
            w.first = false;
        }
        const auto t0 = Clock::now();
        send(change);
        await(v);
        ms.push_back(std::chrono::duration<double, std::milli>(w.at - t0).count());
        diagnostics = w.diagnostics;
        server.waitIdle();  // the examples of this change, not timed
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s change to diagnostics: median %7.2f ms, max %7.2f ms (%d diagnostics, goal 100 ms)\n", name,
                ms[ms.size() / 2], ms.back(), diagnostics);
}

// The answer to a request is written before handle() returns: the time of
// handle() is the server's whole time for it, JSON included.
void requests(const char* name, const std::string& grammar, int line, int character)
{
    vork::lsp::ServerOptions options;
    options.analyzer.yaccSkeleton = VORK_BIN_DIR "/yaccpar";
    options.analyzer.lexSkeleton = VORK_BIN_DIR "/ncform";
    options.analyzer.large = 1;
    options.debounceMs = 0;
    size_t bytes = 0;
    vork::lsp::Server server(options, [&bytes](const QByteArray& framed) { bytes = static_cast<size_t>(framed.size()); });
    auto send = [&](const QJsonObject& m) { server.handle(QJsonDocument(m).toJson(QJsonDocument::Compact).toStdString()); };
    const QString uri = "file:///bench/grammar.y";
    send(QJsonObject{{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", QJsonObject()}});
    send(QJsonObject{{"jsonrpc", "2.0"},
                     {"method", "textDocument/didOpen"},
                     {"params", QJsonObject{{"textDocument", QJsonObject{{"uri", uri},
                                                                         {"languageId", "yacc"},
                                                                         {"version", 1},
                                                                         {"text", QString::fromStdString(grammar)}}}}}});
    server.waitIdle();
    const QJsonObject at{{"textDocument", QJsonObject{{"uri", uri}}},
                         {"position", QJsonObject{{"line", line}, {"character", character}}},
                         {"context", QJsonObject{{"includeDeclaration", true}}}};
    std::printf("%s\n", name);
    int id = 2;
    int version = 2;
    for (const char* method : {"textDocument/documentSymbol", "textDocument/completion", "textDocument/hover",
                               "textDocument/definition", "textDocument/references", "textDocument/didChange"}) {
        const bool change = std::string(method) == "textDocument/didChange";
        std::vector<double> ms;
        for (int round = 0; round < 40; ++round) {
            QJsonObject m{{"jsonrpc", "2.0"}, {"method", method}};
            if (change) {
                // The change is taken in on the reading thread: the index of the new text.
                const std::string text = grammar + "/* edit " + std::to_string(version) + " */\n";
                m["params"] = QJsonObject{{"textDocument", QJsonObject{{"uri", uri}, {"version", version++}}},
                                          {"contentChanges", QJsonArray{QJsonObject{{"text", QString::fromStdString(text)}}}}};
            } else {
                m["id"] = id++;
                m["params"] = at;
            }
            const std::string body = QJsonDocument(m).toJson(QJsonDocument::Compact).toStdString();
            const auto t0 = Clock::now();
            server.handle(body);
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
            if (change)
                server.waitIdle();  // the analysis is not this request's time
        }
        std::sort(ms.begin(), ms.end());
        std::printf("  %-30s median %7.2f ms, max %7.2f ms%s\n", method, ms[ms.size() / 2], ms.back(),
                    change ? "" : (" (answer of " + std::to_string(bytes) + " bytes)").c_str());
    }
}

} // namespace

int main()
{
    run("thousand-production grammar, large:", yacctest::bigGrammar());
    run("2,002-production grammar, large:", yacctest::bigGrammar(400));
    run("C grammar (211 productions), large:", readFile(VORK_SOURCE_DIR "/bench/lsp/c_grammar.y"));
    // A use of e199 in the rule of f199, in the middle of the file.
    requests("requests on the 2,002-production grammar (goal 50 ms each):", yacctest::bigGrammar(400), 603, 18);
    return 0;
}
