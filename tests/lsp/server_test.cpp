// The server driven directly, as a client would: protocol errors, the
// diagnostics of grammars and scanner specifications, navigation, and the
// order in which analyses of older and newer text are shown.
#include "analysis.h"
#include "message_reader.h"
#include "server.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <functional>
#include <sstream>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

using vork::lsp::MessageReader;
using vork::lsp::Server;
using vork::lsp::ServerOptions;

namespace {

const char* kUri = "file:///work/calc.y";
const char* kLexUri = "file:///work/scan.l";
const char* kWideUri = "file:///work/wide.y";

// A grammar with an ambiguous rule (line 5) and precedence on PLUS.
const char* kGrammar =
    "%token <v> NUM\n"          // 0
    "%left PLUS\n"              // 1
    "%union { int v; } %type <v> expr\n"  // 2
    "%%\n"                      // 3
    "expr : expr PLUS expr\n"   // 4
    "     | expr '-' expr\n"    // 5
    "     | NUM\n"              // 6
    "     ;\n";                 // 7

const char* kScanner =
    "D [0-9]\n"                 // 0
    "N {D}+\n"                  // 1
    "%Start STR\n"              // 2
    "%%\n"                      // 3
    "{N} { return 1; }\n"       // 4
    "\\\" { BEGIN STR; }\n"     // 5
    "<STR>[^\"]+ ;\n";          // 6

ServerOptions options()
{
    ServerOptions o;
    o.analyzer.yaccSkeleton = VORK_BIN_DIR "/yaccpar";
    o.analyzer.lexSkeleton = VORK_BIN_DIR "/ncform";
    o.debounceMs = 0;
    return o;
}

class Client {
public:
    explicit Client(ServerOptions o = options())
        : server_(std::move(o), [this](const QByteArray& bytes) {
              std::lock_guard<std::mutex> lock(mutex_);
              reader_.feed(bytes.constData(), static_cast<size_t>(bytes.size()));
              std::string body;
              while (reader_.next(body) == MessageReader::Result::Message)
                  out_.push_back(QJsonDocument::fromJson(QByteArray::fromStdString(body)).object());
          })
    {
    }

    Server& server() { return server_; }

    void raw(const std::string& body) { server_.handle(body); }
    void notify(const char* method, const QJsonObject& params)
    {
        send(QJsonObject{{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
    }
    // The answer to one request.
    QJsonObject ask(const char* method, const QJsonObject& params)
    {
        const int id = ++lastId_;
        send(QJsonObject{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}});
        return answer(id);
    }
    QJsonObject answer(int id)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const QJsonObject& m : out_)
            if (m.value("id").toInt(-1) == id && !m.contains("method"))
                return m;
        return QJsonObject();
    }
    void initialize()
    {
        ask("initialize", QJsonObject{{"capabilities", QJsonObject()}});
        notify("initialized", QJsonObject());
    }
    void open(const char* uri, const std::string& text, int version = 1)
    {
        notify("textDocument/didOpen",
               QJsonObject{{"textDocument", QJsonObject{{"uri", uri},
                                                        {"languageId", "yacc"},
                                                        {"version", version},
                                                        {"text", QString::fromStdString(text)}}}});
    }
    void change(const char* uri, const std::string& text, int version)
    {
        notify("textDocument/didChange",
               QJsonObject{{"textDocument", QJsonObject{{"uri", uri}, {"version", version}}},
                           {"contentChanges", QJsonArray{QJsonObject{{"text", QString::fromStdString(text)}}}}});
    }
    // Every message the server sent, in order.
    std::vector<QJsonObject> sent()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return out_;
    }
    std::vector<QJsonObject> diagnostics(const char* uri)
    {
        std::vector<QJsonObject> d;
        for (const QJsonObject& m : sent())
            if (m.value("method") == "textDocument/publishDiagnostics" &&
                m.value("params").toObject().value("uri") == uri)
                d.push_back(m.value("params").toObject());
        return d;
    }
    static QJsonObject at(const char* uri, int line, int character)
    {
        return QJsonObject{{"textDocument", QJsonObject{{"uri", uri}}},
                           {"position", QJsonObject{{"line", line}, {"character", character}}}};
    }

private:
    void send(const QJsonObject& m) { server_.handle(QJsonDocument(m).toJson().toStdString()); }

    std::mutex mutex_;
    MessageReader reader_;
    std::vector<QJsonObject> out_;
    int lastId_ = 0;
    Server server_;  // last: stopped before the rest goes away
};

std::string readFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

int errorCode(const QJsonObject& answer)
{
    return answer.value("error").toObject().value("code").toInt(0);
}

} // namespace

TEST(LspServer, AnswersBadMessagesWithProtocolErrors)
{
    struct Case {
        const char* name;
        std::string body;
        bool initialized;
        int code;  // the error of the one answer; 0: no answer at all
    };
    const std::vector<Case> cases{
        {"not JSON", "{\"jsonrpc\":", true, -32700},
        {"binary junk", std::string("\x00\xff\xfe{", 4), true, -32700},
        {"an array", "[1,2]", true, -32600},
        {"a number", "42", true, -32700},
        {"id of the wrong type", R"({"jsonrpc":"2.0","id":{},"method":"shutdown"})", true, -32600},
        {"no method", R"({"jsonrpc":"2.0","id":7})", true, -32600},
        {"method not a string", R"({"jsonrpc":"2.0","id":7,"method":3})", true, -32600},
        {"unknown method", R"({"jsonrpc":"2.0","id":7,"method":"textDocument/rename"})", true, -32601},
        {"params not structured", R"({"jsonrpc":"2.0","id":7,"method":"textDocument/hover","params":3})", true, -32602},
        {"hover on no document", R"({"jsonrpc":"2.0","id":7,"method":"textDocument/hover","params":{}})", true, -32602},
        {"request before initialize", R"({"jsonrpc":"2.0","id":7,"method":"textDocument/hover","params":{}})", false,
         -32002},
        {"unknown notification", R"({"jsonrpc":"2.0","method":"$/setTrace","params":{}})", true, 0},
        {"answer to nothing", R"({"jsonrpc":"2.0","id":99,"result":null})", true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Client client;
        if (c.initialized)
            client.initialize();
        const size_t before = client.sent().size();
        client.raw(c.body);
        const std::vector<QJsonObject> out = client.sent();
        if (c.code == 0) {
            EXPECT_EQ(out.size(), before);
            continue;
        }
        ASSERT_EQ(out.size(), before + 1);
        EXPECT_EQ(errorCode(out.back()), c.code);
        EXPECT_FALSE(client.server().exitRequested());
    }
}

TEST(LspServer, RejectsPositionsOutsideTheDocument)
{
    Client client;
    client.initialize();
    client.open(kUri, kGrammar);
    struct Case {
        const char* name;
        QJsonObject params;
        int code;
    };
    const std::vector<Case> cases{
        {"line past the end", Client::at(kUri, 40, 0), -32602},
        {"negative line", Client::at(kUri, -1, 0), -32602},
        {"column past the line: its end", Client::at(kUri, 1, 11), 0},
        {"column far past the line", Client::at(kUri, 4, 100000), 0},
        {"negative column", Client::at(kUri, 0, -2), -32602},
        {"fractional line", QJsonObject{{"textDocument", QJsonObject{{"uri", kUri}}},
                                        {"position", QJsonObject{{"line", 0.5}, {"character", 0}}}}, -32602},
        {"position not numbers", QJsonObject{{"textDocument", QJsonObject{{"uri", kUri}}},
                                             {"position", QJsonObject{{"line", "0"}, {"character", 0}}}}, -32602},
        {"another document", Client::at("file:///nowhere.y", 0, 0), -32602},
        {"end of a line is inside", Client::at(kUri, 1, 10), 0},
    };
    for (const char* method : {"textDocument/hover", "textDocument/definition", "textDocument/references"}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(method) + ": " + c.name);
            const QJsonObject a = client.ask(method, c.params);
            ASSERT_FALSE(a.isEmpty());
            EXPECT_EQ(errorCode(a), c.code);
        }
    }
}

TEST(LspServer, ShutdownExitAndEndOfInput)
{
    struct Case {
        const char* name;
        bool shutdown;
        int exitCode;
    };
    for (const Case& c : {Case{"shutdown then exit", true, 0}, Case{"exit alone", false, 1}}) {
        SCOPED_TRACE(c.name);
        Client client;
        client.initialize();
        if (c.shutdown) {
            const QJsonObject a = client.ask("shutdown", QJsonObject());
            EXPECT_TRUE(a.contains("result"));
            // Nothing more is served after shutdown.
            EXPECT_EQ(errorCode(client.ask("textDocument/hover", Client::at(kUri, 0, 0))), -32600);
        }
        EXPECT_FALSE(client.server().exitRequested());
        client.notify("exit", QJsonObject());
        EXPECT_TRUE(client.server().exitRequested());
        EXPECT_EQ(client.server().exitCode(), c.exitCode);
    }

    // Over a pipe: broken framing and JSON are answered, and the end of the
    // input ends the server with status 0.
    int in[2], out[2];
    ASSERT_EQ(::pipe(in), 0);
    ASSERT_EQ(::pipe(out), 0);
    const std::string body = R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})";
    const std::string input = "Content-Length: x\r\n\r\nContent-Length: 3\r\n\r\n{{{Content-Length: " +
                              std::to_string(body.size()) + "\r\n\r\n" + body;
    ASSERT_EQ(::write(in[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
    ::close(in[1]);
    const int status = Server::serve(in[0], out[1], options());
    ::close(out[1]);
    ::close(in[0]);
    std::string got;
    char buf[4096];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;)
        got.append(buf, static_cast<size_t>(n));
    ::close(out[0]);
    EXPECT_EQ(status, 0);
    MessageReader reader;
    reader.feed(got.data(), got.size());
    std::vector<int> codes;
    for (std::string m; reader.next(m) == MessageReader::Result::Message;) {
        const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(m)).object();
        codes.push_back(o.contains("result") ? 0 : errorCode(o));
    }
    EXPECT_EQ(codes, (std::vector<int>{-32600, -32700, 0}));
}

TEST(LspServer, DiagnosticsOfGrammarsAndScanners)
{
    struct Expected {
        int line;
        int severity;
        const char* part;
    };
    struct Case {
        const char* name;
        const char* uri;
        std::string text;
        std::vector<Expected> diagnostics;  // of the last publication
        int slovak = 0;
        int large = 0;
    };
    const std::string cGrammar = readFile(VORK_SOURCE_DIR "/bench/lsp/c_grammar.y");
    const std::vector<Case> cases{
        {"conflict with its example", kUri, kGrammar, {{5, 2, "shift/reduce on '-'"}, {5, 2, "example:"}}},
        {"conflict in Slovak", kUri, kGrammar, {{5, 2, "konflikt v stave"}, {5, 2, "posun/redukcia na '-'"}}, 1},
        {"undefined nonterminal", kUri, "%token A\n%%\ns : A\n  | b\n  ;\n", {{3, 1, "\"b\""}}},
        {"clean grammar", kUri, "%token A\n%%\ns : A ;\n", {}},
        {"tables full in the default mode: at the last line", kUri, cGrammar, {{413, 1, "out of space"}}},
        {"the same grammar in large mode: the dangling else", kUri, cGrammar,
         {{377, 2, "shift/reduce on ELSE"}, {377, 2, "example:"}}, 0, 1},
        {"scanner: unknown definition is an error", kLexUri, "D [0-9]\n%%\n{D}+ ;\n{X} ;\n", {{3, 1, "X"}}},
        {"clean scanner", kLexUri, kScanner, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ServerOptions o = options();
        o.analyzer.slovak = c.slovak;
        o.analyzer.large = c.large;
        Client client(o);
        client.initialize();
        client.open(c.uri, c.text, 3);
        client.server().waitIdle();
        const auto published = client.diagnostics(c.uri);
        ASSERT_FALSE(published.empty());
        const QJsonObject last = published.back();
        EXPECT_EQ(last.value("version").toInt(), 3);
        const QJsonArray list = last.value("diagnostics").toArray();
        if (c.diagnostics.empty()) {
            EXPECT_TRUE(list.isEmpty()) << QJsonDocument(last).toJson().toStdString();
        }
        for (const Expected& e : c.diagnostics) {
            bool found = false;
            for (const QJsonValue& v : list) {
                const QJsonObject d = v.toObject();
                if (d.value("range").toObject().value("start").toObject().value("line").toInt() == e.line &&
                    d.value("severity").toInt() == e.severity && d.value("message").toString().contains(e.part))
                    found = true;
            }
            EXPECT_TRUE(found) << e.part << " in " << QJsonDocument(last).toJson().toStdString();
        }
    }
}

TEST(LspServer, ConflictsShowBeforeTheirExamples)
{
    Client client;
    client.initialize();
    client.open(kUri, kGrammar);
    client.server().waitIdle();
    const auto published = client.diagnostics(kUri);
    ASSERT_EQ(published.size(), 2u);
    auto text = [](const QJsonObject& p) {
        return p.value("diagnostics").toArray().at(0).toObject().value("message").toString().toStdString();
    };
    EXPECT_NE(text(published[0]).find("shift/reduce"), std::string::npos);
    EXPECT_EQ(text(published[0]).find("example:"), std::string::npos);
    EXPECT_NE(text(published[1]).find("example:"), std::string::npos);
}

TEST(LspServer, NewerTextWinsOverOlderAnalyses)
{
    Client client;
    client.initialize();
    // Version 1 is broken, the versions after it are fine; every change
    // comes while the worker may still be on an older one.
    client.open(kUri, "%%\ns : undefined_thing ;\n", 1);
    for (int v = 2; v <= 6; ++v)
        client.change(kUri, "%token A\n%%\ns : A ;\n" + std::string(static_cast<size_t>(v), '\n'), v);
    client.server().waitIdle();
    const auto published = client.diagnostics(kUri);
    ASSERT_FALSE(published.empty());
    EXPECT_EQ(published.back().value("version").toInt(), 6);
    EXPECT_TRUE(published.back().value("diagnostics").toArray().isEmpty());
    int seen = 0;
    for (const QJsonObject& p : published) {
        EXPECT_GE(p.value("version").toInt(), seen) << "an older analysis shown after a newer one";
        seen = p.value("version").toInt();
    }
}

TEST(LspServer, HugeDocumentIsRefusedNotFatal)
{
    ServerOptions o = options();
    o.maxDocument = 1 << 20;
    Client client(o);
    client.initialize();
    std::string huge = "%%\ns : 'a' ;\n";
    huge += std::string(size_t(50) << 20, ' ');
    client.open(kUri, huge);
    huge.clear();
    client.server().waitIdle();
    const auto published = client.diagnostics(kUri);
    ASSERT_EQ(published.size(), 1u);
    EXPECT_TRUE(published[0].value("diagnostics").toArray().at(0).toObject().value("message").toString().contains("bytes"));
    // Still serving.
    EXPECT_TRUE(client.ask("textDocument/hover", Client::at(kUri, 0, 0)).contains("result"));
    EXPECT_TRUE(client.ask("textDocument/hover", Client::at(kUri, 1, 0)).contains("result"));
}

TEST(LspServer, Navigation)
{
    Client client;
    client.initialize();
    client.open(kUri, kGrammar);
    client.open(kLexUri, kScanner);
    client.open(kWideUri, "%token NUM\n%%\n/* \xc4\x9b\xf0\x9d\x84\x9e */ e : e NUM | NUM ;\n");
    client.server().waitIdle();
    struct Case {
        const char* name;
        const char* uri;
        int line, character;
        int defLine, defCharacter;  // -1: no definition
        int references;             // with the declaration
    };
    const std::vector<Case> cases{
        {"nonterminal used", kUri, 4, 8, 4, 0, 6},
        {"nonterminal in %type", kUri, 2, 28, 4, 0, 6},
        {"token in a rule", kUri, 6, 8, 0, 11, 2},
        {"token in %left", kUri, 4, 13, 1, 6, 2},
        {"definition used in a definition", kLexUri, 1, 3, 0, 0, 2},
        {"definition used in a pattern", kLexUri, 4, 1, 1, 0, 2},
        {"start condition in BEGIN", kLexUri, 5, 11, 2, 7, 3},
        {"start condition prefix", kLexUri, 6, 2, 2, 7, 3},
        {"no symbol there", kUri, 3, 0, -1, 0, -1},
        {"past the end of a line: the name it ends with", kUri, 4, 500, 4, 0, 6},
        {"columns counted in UTF-16 units", kWideUri, 2, 14, 2, 10, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QJsonValue def = client.ask("textDocument/definition", Client::at(c.uri, c.line, c.character)).value("result");
        if (c.defLine < 0) {
            EXPECT_TRUE(def.isNull());
        } else {
            const QJsonObject start = def.toObject().value("range").toObject().value("start").toObject();
            EXPECT_EQ(def.toObject().value("uri").toString(), c.uri);
            EXPECT_EQ(start.value("line").toInt(), c.defLine);
            EXPECT_EQ(start.value("character").toInt(), c.defCharacter);
        }
        QJsonObject params = Client::at(c.uri, c.line, c.character);
        params["context"] = QJsonObject{{"includeDeclaration", true}};
        const QJsonValue refs = client.ask("textDocument/references", params).value("result");
        if (c.references < 0)
            EXPECT_TRUE(refs.isNull());
        else
            EXPECT_EQ(refs.toArray().size(), c.references);
    }
}

TEST(LspServer, HoverSymbolsAndCompletion)
{
    Client client;
    client.initialize();
    client.open(kUri, kGrammar);
    client.open(kLexUri, kScanner);
    client.server().waitIdle();
    struct Case {
        const char* name;
        const char* uri;
        int line, character;
        std::vector<const char*> parts;
    };
    const std::vector<Case> cases{
        {"nonterminal: its rules", kUri, 2, 28, {"expr : expr PLUS expr", "expr : expr '-' expr", "expr : NUM"}},
        {"token: code, no precedence", kUri, 6, 8, {"NUM", "code: 257", "no precedence"}},
        {"token: code and precedence", kUri, 1, 7, {"PLUS", "code: 258", "precedence: 1 %left"}},
        {"conflict line: the example", kUri, 5, 9, {"conflict in state", "example:"}},
        {"scanner definition", kLexUri, 4, 1, {"N {D}+"}},
        {"start condition", kLexUri, 6, 2, {"start condition STR"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString text = client.ask("textDocument/hover", Client::at(c.uri, c.line, c.character))
                                 .value("result").toObject().value("contents").toObject().value("value").toString();
        for (const char* p : c.parts)
            EXPECT_TRUE(text.contains(p)) << p << " in " << text.toStdString();
    }

    struct Outline {
        const char* uri;
        std::vector<std::pair<QString, int>> symbols;  // name, kind
    };
    for (const Outline& o : {Outline{kUri, {{"NUM", 14}, {"PLUS", 14}, {"expr", 12}}},
                             Outline{kLexUri, {{"D", 13}, {"N", 13}, {"STR", 10}}}}) {
        SCOPED_TRACE(o.uri);
        const QJsonObject doc{{"textDocument", QJsonObject{{"uri", o.uri}}}};
        std::vector<std::pair<QString, int>> got;
        for (const QJsonValue& v : client.ask("textDocument/documentSymbol", doc).value("result").toArray())
            got.emplace_back(v.toObject().value("name").toString(), v.toObject().value("kind").toInt());
        EXPECT_EQ(got, o.symbols);
        QStringList labels;
        for (const QJsonValue& v : client.ask("textDocument/completion", Client::at(o.uri, 0, 0)).value("result").toArray())
            labels << v.toObject().value("label").toString();
        for (const auto& s : o.symbols)
            EXPECT_TRUE(labels.contains(s.first)) << s.first.toStdString();
    }
}

TEST(LspServer, DocumentLifecycle)
{
    struct Case {
        const char* name;
        std::function<void(Client&)> act;
        int lastVersion;             // of the last diagnostics published for kUri (-1: cleared, no version)
        bool hoverAnswered;          // a hover on line 0 afterwards gets a result, not an error
    };
    const std::vector<Case> cases{
        {"closing clears the diagnostics and forgets the text",
         [](Client& c) { c.notify("textDocument/didClose", QJsonObject{{"textDocument", QJsonObject{{"uri", kUri}}}}); },
         -1, false},
        {"a change with a range is not taken for the whole text",
         [](Client& c) {
             c.notify("textDocument/didChange",
                      QJsonObject{{"textDocument", QJsonObject{{"uri", kUri}, {"version", 2}}},
                                  {"contentChanges",
                                   QJsonArray{QJsonObject{{"range", QJsonObject{}}, {"text", "%%\nbroken"}}}}});
         },
         1, true},
        {"a change of a document never opened is ignored",
         [](Client& c) { c.change("file:///other.y", "%%\ns : ;\n", 2); }, 1, true},
        {"after shutdown, changes are not analysed",
         [](Client& c) {
             c.ask("shutdown", QJsonObject());
             c.change(kUri, "%%\ns : t ;\n", 2);
         },
         1, false},
        {"changes in a row: only the last is analysed",
         [](Client& c) {
             for (int v = 2; v <= 5; ++v)
                 c.change(kUri, "%token A\n%%\ns : A ;\n" + std::string(static_cast<size_t>(v), ' '), v);
         },
         5, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ServerOptions o = options();
        o.debounceMs = 1500;  // the changes of one case all come within it
        Client client(o);
        client.initialize();
        client.open(kUri, "%token A\n%%\ns : A ;\n", 1);
        client.server().waitIdle();
        c.act(client);
        client.server().waitIdle();
        const auto published = client.diagnostics(kUri);
        ASSERT_FALSE(published.empty());
        const QJsonObject last = published.back();
        if (c.lastVersion < 0) {
            EXPECT_FALSE(last.contains("version"));
            EXPECT_TRUE(last.value("diagnostics").toArray().isEmpty());
        } else {
            EXPECT_EQ(last.value("version").toInt(), c.lastVersion);
        }
        for (const QJsonObject& p : published) {
            if (!p.contains("version"))
                continue;  // the clearing of a closed document
            const int v = p.value("version").toInt();
            EXPECT_TRUE(v == 1 || v == c.lastVersion) << "version " << v << " was analysed";
        }
        EXPECT_EQ(client.ask("textDocument/hover", Client::at(kUri, 0, 0)).contains("result"), c.hoverAnswered);
    }
}

// The server stops an analysis whose text a newer change replaced: the
// generators ask the analyzer's stop at their checks.  A stopped run reports
// nothing; an unstopped one reports the grammar's conflict.
TEST(LspAnalyzer, AStopEndsTheGeneratorRunUnderWay)
{
    char dirTemplate[] = "/tmp/vork-lsp-stop-XXXXXX";
    ASSERT_NE(::mkdtemp(dirTemplate), nullptr);
    const std::string dir = dirTemplate;
    struct Case {
        bool stop;
        bool generated;
    };
    for (const Case c : {Case{false, true}, Case{true, false}}) {
        SCOPED_TRACE(c.stop ? "stopped" : "not stopped");
        vork::lsp::Analyzer analyzer(options().analyzer, dir);
        int asked = 0;
        analyzer.setStop([&] {
            ++asked;
            return c.stop;
        });
        vork::lsp::Analysis a = analyzer.diagnose("g.y", kGrammar);
        EXPECT_GT(asked, 0);
        EXPECT_EQ(a.generated, c.generated);
        EXPECT_EQ(a.conflicts.empty(), c.stop);
        EXPECT_TRUE(a.diagnostics.empty());
    }
    std::system(("rm -rf '" + dir + "'").c_str());
}

// What a hover tells about the analysis belongs to the text analysed: right
// after an edit, before the new analysis, the old conflicts' lines and the
// old token codes are wrong.  Whether or not the new analysis is done when
// the hover comes, the old facts must not show.
TEST(LspServer, HoverRightAfterAnEditShowsNothingOfTheOldText)
{
    struct Case {
        const char* name;
        std::string text;     // replaces kGrammar
        int line, character;  // the hover right after the change
        const char* stale;    // what the old analysis would add there
        int afterLine, afterCharacter;
        const char* fresh;    // what the new analysis shows
    };
    const std::vector<Case> cases{
        {"two lines above the conflict", std::string("/* a */\n/* b */\n") + kGrammar, 5, 0, "conflict", 7, 9,
         "conflict in state"},
        {"a token declared before the others", std::string("%token FIRST\n") + kGrammar, 7, 8, "code: 257", 7, 8,
         "code: 258"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ServerOptions o = options();
        o.debounceMs = 1500;  // the hover comes before the new analysis
        Client client(o);
        client.initialize();
        client.open(kUri, kGrammar, 1);
        client.server().waitIdle();
        client.change(kUri, c.text, 2);
        auto hover = [&](int line, int character) {
            return client.ask("textDocument/hover", Client::at(kUri, line, character))
                .value("result").toObject().value("contents").toObject().value("value").toString();
        };
        EXPECT_FALSE(hover(c.line, c.character).contains(c.stale)) << hover(c.line, c.character).toStdString();
        client.server().waitIdle();
        EXPECT_TRUE(hover(c.afterLine, c.afterCharacter).contains(c.fresh))
            << hover(c.afterLine, c.afterCharacter).toStdString();
    }
}

// An error at the end of the input is reported on the line after the last:
// the diagnostic goes on the last line the editor has.
TEST(LspServer, DiagnosticsStayInsideTheDocument)
{
    struct Case {
        const char* name;
        const char* uri;
        std::string text;
        int lastLine;
    };
    const std::vector<Case> cases{
        {"empty grammar", kUri, "", 0},
        {"declarations only", kUri, "%token A\n", 0},
        {"no final line end", kUri, "%token A\n%token B", 1},
        {"action cut short", kUri, "%token A\n%%\ns : A {\n", 2},
        {"blank lines at the end", kUri, "%token A\n\n\n", 2},
        {"CR LF line ends", kUri, "%token A\r\n%%\r\ns : A {\r\n", 2},
        {"empty scanner specification", kLexUri, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Client client;
        client.initialize();
        client.open(c.uri, c.text);
        client.server().waitIdle();
        const auto published = client.diagnostics(c.uri);
        ASSERT_FALSE(published.empty());
        const QJsonArray list = published.back().value("diagnostics").toArray();
        if (c.uri == kUri) {
            EXPECT_FALSE(list.isEmpty());
        }
        for (const QJsonValue& v : list) {
            const QJsonObject range = v.toObject().value("range").toObject();
            EXPECT_LE(range.value("start").toObject().value("line").toInt(), c.lastLine);
            EXPECT_GE(range.value("start").toObject().value("line").toInt(), 0);
            EXPECT_LE(range.value("end").toObject().value("line").toInt(), c.lastLine);
        }
    }
}
