#include "server.h"

#include "message_reader.h"
#include "vork/progdir.h"
#include "vork/symbols/symbol_index.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <poll.h>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace vork::lsp {

namespace {

using Clock = std::chrono::steady_clock;

// The protocol's error codes.
enum ErrorCode {
    ParseError = -32700,
    InvalidRequest = -32600,
    MethodNotFound = -32601,
    InvalidParams = -32602,
    InternalError = -32603,
    ServerNotInitialized = -32002,
    RequestFailed = -32803,
};

// The protocol counts columns in UTF-16 units; the index in bytes.
int byteColumn(const std::string& line, int utf16)
{
    size_t i = 0;
    int units = 0;
    while (i < line.size() && units < utf16) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        const int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        units += len == 4 ? 2 : 1;
        i += static_cast<size_t>(len);
    }
    return static_cast<int>(std::min(i, line.size()));
}

int utf16Column(const std::string& line, int bytes)
{
    int units = 0;
    size_t i = 0;
    const size_t end = std::min(line.size(), static_cast<size_t>(std::max(bytes, 0)));
    while (i < end) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        const int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        units += len == 4 ? 2 : 1;
        i += static_cast<size_t>(len);
    }
    return units;
}

QString qs(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string ss(const QString& s)
{
    return s.toUtf8().toStdString();
}

} // namespace

struct Server::Document {
    std::string uri;
    bool scanner = false;
    int version = 0;
    std::string text;
    std::vector<size_t> lineStarts;
    symbols::Index index;
    bool tooLarge = false;
    std::shared_ptr<const Analysis> analysis;  // of `analysedVersion`
    int analysedVersion = -1;

    void setText(std::string t, size_t maxSize)
    {
        text = std::move(t);
        lineStarts.assign(1, 0);
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n')
                lineStarts.push_back(i + 1);
        tooLarge = text.size() > maxSize;
        index = tooLarge ? symbols::Index() : symbols::Index::ofFile(scanner ? "buffer.l" : "buffer.y", text);
    }
    int lineCount() const { return static_cast<int>(lineStarts.size()); }
    // The last line an editor shows: a final line end opens no line of its own.
    int lastLine() const
    {
        const int n = lineCount() - 1;
        return n > 0 && lineStarts.back() == text.size() ? n - 1 : n;
    }
    std::string line(int n) const
    {
        if (n < 0 || n >= lineCount())
            return std::string();
        const size_t b = lineStarts[static_cast<size_t>(n)];
        size_t e = n + 1 < lineCount() ? lineStarts[static_cast<size_t>(n) + 1] - 1 : text.size();
        if (e > b && text[e - 1] == '\r')
            --e;
        return text.substr(b, e - b);
    }
    QJsonObject position(int lineNo, int byteCol) const
    {
        return QJsonObject{{"line", lineNo}, {"character", utf16Column(line(lineNo), byteCol)}};
    }
    QJsonObject range(const symbols::Place& p) const
    {
        return QJsonObject{{"start", position(p.line, p.column)}, {"end", position(p.line, p.column + p.length)}};
    }
};

struct Server::Job {
    std::string uri;
    std::string name;
    std::string text;
    int version = 0;
    Clock::time_point due;
};

Server::Server(ServerOptions options, Writer writer) : options_(std::move(options)), writer_(std::move(writer))
{
    // The generators put their temporary files into the current directory:
    // give them one of their own.
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vork-lsp-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (::mkdtemp(buf.data())) {
        workDir_ = buf.data();
        if (::chdir(workDir_.c_str()) != 0)
            workDir_.clear();
    }
    worker_ = std::thread([this] { work(); });
}

Server::~Server()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        jobs_.clear();
    }
    wake_.notify_all();
    worker_.join();
    if (!workDir_.empty()) {
        std::error_code ec;
        std::filesystem::current_path(std::filesystem::temp_directory_path(ec), ec);
        std::filesystem::remove_all(workDir_, ec);
    }
}

void Server::send(const QJsonObject& message)
{
    const QByteArray body = QJsonDocument(message).toJson(QJsonDocument::Compact);
    QByteArray framed = "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    std::lock_guard<std::mutex> lock(writeMutex_);
    writer_(framed);
}

void Server::reply(const QJsonValue& id, const QJsonValue& result)
{
    send(QJsonObject{{"jsonrpc", "2.0"}, {"id", id}, {"result", result}});
}

void Server::replyError(const QJsonValue& id, int code, const QString& message)
{
    send(QJsonObject{{"jsonrpc", "2.0"}, {"id", id}, {"error", QJsonObject{{"code", code}, {"message", message}}}});
}

void Server::framingError(const std::string& what)
{
    replyError(QJsonValue::Null, InvalidRequest, qs(what));
}

void Server::handle(const std::string& body)
{
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray(body.data(), static_cast<qsizetype>(body.size())), &err);
    if (err.error != QJsonParseError::NoError) {
        replyError(QJsonValue::Null, ParseError, "parse error: " + err.errorString());
        return;
    }
    if (!doc.isObject()) {
        replyError(QJsonValue::Null, InvalidRequest, "a message is a JSON object");
        return;
    }
    const QJsonObject m = doc.object();
    const QJsonValue id = m.value("id");
    const bool hasId = m.contains("id");
    if (hasId && !id.isDouble() && !id.isString() && !id.isNull()) {
        replyError(QJsonValue::Null, InvalidRequest, "an id is a number or a string");
        return;
    }
    if (!m.value("method").isString()) {
        if (hasId && (m.contains("result") || m.contains("error")))
            return;  // an answer to nothing we asked: ignored
        replyError(hasId ? id : QJsonValue(QJsonValue::Null), InvalidRequest, "no method");
        return;
    }
    const QString method = m.value("method").toString();
    const QJsonValue p = m.value("params");
    if (!p.isUndefined() && !p.isNull() && !p.isObject() && !p.isArray()) {
        if (hasId)
            replyError(id, InvalidParams, "params is an object or an array");
        return;
    }
    const QJsonObject params = p.toObject();
    if (hasId)
        request(id, method, params);
    else
        notification(method, params);
}

void Server::request(const QJsonValue& id, const QString& method, const QJsonObject& params)
{
    if (method == "initialize") {
        initialized_ = true;
        const QJsonObject caps{
            {"textDocumentSync", QJsonObject{{"openClose", true}, {"change", 1}}},
            {"definitionProvider", true},
            {"referencesProvider", true},
            {"hoverProvider", true},
            {"documentSymbolProvider", true},
            {"completionProvider", QJsonObject{{"triggerCharacters", QJsonArray{"{", "<", "%"}}}},
        };
        reply(id, QJsonObject{{"capabilities", caps},
                              {"serverInfo", QJsonObject{{"name", "vork-lsp"}, {"version", vork::versionString()}}}});
        return;
    }
    if (!initialized_) {
        replyError(id, ServerNotInitialized, "the server is not initialized");
        return;
    }
    if (shutdown_) {
        replyError(id, InvalidRequest, "the server is shutting down");
        return;
    }
    if (method == "shutdown") {
        shutdown_ = true;
        reply(id, QJsonValue::Null);
        return;
    }
    using Handler = QJsonValue (Server::*)(const QJsonObject&, int&, QString&);
    static const std::map<QString, Handler> handlers{
        {"textDocument/definition", &Server::definition},
        {"textDocument/references", &Server::references},
        {"textDocument/hover", &Server::hover},
        {"textDocument/documentSymbol", &Server::documentSymbols},
        {"textDocument/completion", &Server::completion},
    };
    const auto it = handlers.find(method);
    if (it == handlers.end()) {
        replyError(id, MethodNotFound, "unknown method " + method);
        return;
    }
    int code = 0;
    QString error;
    const QJsonValue result = (this->*(it->second))(params, code, error);
    if (code != 0)
        replyError(id, code, error);
    else
        reply(id, result);
}

void Server::notification(const QString& method, const QJsonObject& params)
{
    if (method == "exit") {
        exit_ = true;
        return;
    }
    if (!initialized_ || shutdown_)
        return;
    if (method == "textDocument/didOpen")
        open(params);
    else if (method == "textDocument/didChange")
        change(params);
    else if (method == "textDocument/didClose")
        close(params);
    // Every other notification, "initialized" and "$/..." included, needs nothing.
}

void Server::open(const QJsonObject& params)
{
    const QJsonObject td = params.value("textDocument").toObject();
    const std::string uri = ss(td.value("uri").toString());
    if (uri.empty() || !td.value("text").isString())
        return;
    auto doc = std::make_shared<Document>();
    doc->uri = uri;
    doc->scanner = td.value("languageId").toString() == "lex" || Analyzer::isScanner(uri);
    doc->version = td.value("version").toInt();
    doc->setText(ss(td.value("text").toString()), options_.maxDocument);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        documents_[uri] = doc;
    }
    schedule(uri, 0);
}

void Server::change(const QJsonObject& params)
{
    const QJsonObject td = params.value("textDocument").toObject();
    const std::string uri = ss(td.value("uri").toString());
    const QJsonArray changes = params.value("contentChanges").toArray();
    std::shared_ptr<Document> old;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto it = documents_.find(uri);
        if (it == documents_.end())
            return;
        old = it->second;
    }
    // Whole-text changes only (the sync kind the server asks for); the last wins.
    QString text;
    bool found = false;
    for (const QJsonValue& c : changes) {
        const QJsonObject o = c.toObject();
        if (o.value("text").isString() && !o.contains("range")) {
            text = o.value("text").toString();
            found = true;
        }
    }
    if (!found)
        return;
    // A new document object: the worker and earlier answers keep the old one.
    auto doc = std::make_shared<Document>();
    doc->uri = uri;
    doc->scanner = old->scanner;
    doc->version = td.value("version").toInt(old->version + 1);
    doc->setText(ss(text), options_.maxDocument);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        doc->analysis = old->analysis;
        doc->analysedVersion = old->analysedVersion;
        documents_[uri] = doc;
    }
    schedule(uri, options_.debounceMs);
}

void Server::close(const QJsonObject& params)
{
    const std::string uri = ss(params.value("textDocument").toObject().value("uri").toString());
    std::lock_guard<std::mutex> lock(mutex_);
    if (documents_.erase(uri) == 0)
        return;
    jobs_.erase(uri);
    send(QJsonObject{{"jsonrpc", "2.0"},
                     {"method", "textDocument/publishDiagnostics"},
                     {"params", QJsonObject{{"uri", qs(uri)}, {"diagnostics", QJsonArray()}}}});
}

void Server::schedule(const std::string& uri, int delayMs)
{
    std::shared_ptr<Document> doc;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        doc = documents_[uri];
    }
    if (doc->tooLarge) {
        std::lock_guard<std::mutex> lock(mutex_);
        jobs_.erase(uri);
        publish(uri, doc->version,
                {Diagnostic{0, 1,
                            "the buffer has " + std::to_string(doc->text.size()) + " bytes; files of more than " +
                                std::to_string(options_.maxDocument) + " bytes are not analysed"}});
        return;
    }
    auto job = std::make_shared<Job>();
    job->uri = uri;
    job->name = doc->scanner ? "buffer.l" : "buffer.y";
    job->text = doc->text;
    job->version = doc->version;
    job->due = Clock::now() + std::chrono::milliseconds(delayMs);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        jobs_[uri] = job;  // replaces an older change not yet started
    }
    wake_.notify_all();
}

// Called with mutex_ held, so that a stale result never overtakes a newer one.
void Server::publish(const std::string& uri, int version, const std::vector<Diagnostic>& diagnostics)
{
    const auto it = documents_.find(uri);
    QJsonArray list;
    for (const Diagnostic& d : diagnostics) {
        QJsonObject range;
        int line = std::max(d.line, 0);
        int endCol = 0;
        if (it != documents_.end()) {
            // An error at the end of the input comes with the line after
            // the last one; the editor has no such line to mark.
            line = std::min(line, it->second->lastLine());
            endCol = utf16Column(it->second->line(line), 1 << 30);
        }
        range["start"] = QJsonObject{{"line", line}, {"character", 0}};
        range["end"] = QJsonObject{{"line", line}, {"character", endCol}};
        list.append(QJsonObject{{"range", range},
                                {"severity", d.severity},
                                {"source", "vork"},
                                {"message", qs(d.message)}});
    }
    send(QJsonObject{{"jsonrpc", "2.0"},
                     {"method", "textDocument/publishDiagnostics"},
                     {"params", QJsonObject{{"uri", qs(uri)}, {"version", version}, {"diagnostics", list}}}});
}

void Server::waitIdle()
{
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this] { return stop_ || (jobs_.empty() && !busy_); });
}

void Server::work()
{
    Analyzer analyzer(options_.analyzer, workDir_);
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (stop_)
            break;
        if (jobs_.empty()) {
            busy_ = false;
            idle_.notify_all();
            wake_.wait(lock);
            continue;
        }
        auto next = jobs_.begin();
        for (auto it = jobs_.begin(); it != jobs_.end(); ++it)
            if (it->second->due < next->second->due)
                next = it;
        // A copy: while waiting, a newer change may replace (and free) the job.
        const Clock::time_point due = next->second->due;
        if (due > Clock::now()) {
            wake_.wait_until(lock, due);
            continue;
        }
        const std::shared_ptr<Job> job = next->second;
        jobs_.erase(next);
        busy_ = true;
        auto current = [this, job] {
            const auto d = documents_.find(job->uri);
            return !stop_ && d != documents_.end() && d->second->version == job->version && !jobs_.count(job->uri);
        };
        // Called by the generators while the lock is not held: a newer change
        // (or the end of the server) stops this analysis at its next check.
        analyzer.setStop([this, current] {
            std::lock_guard<std::mutex> guard(mutex_);
            return !current();
        });

        lock.unlock();
        auto analysis = std::make_shared<Analysis>(analyzer.diagnose(job->name, job->text));
        lock.lock();
        if (!current())
            continue;  // a newer change came in: its own analysis follows
        documents_[job->uri]->analysis = analysis;
        documents_[job->uri]->analysedVersion = job->version;
        publish(job->uri, job->version, analysis->all());

        // The token codes and the examples, after the errors were shown.
        auto completed = std::make_shared<Analysis>(*analysis);
        lock.unlock();
        const bool changed = analyzer.complete(job->name, job->text, *completed);
        lock.lock();
        if (!current())
            continue;
        documents_[job->uri]->analysis = completed;
        if (!changed)
            continue;
        publish(job->uri, job->version, completed->all());
    }
    busy_ = false;
    idle_.notify_all();
}

bool Server::locate(const QJsonObject& params, std::shared_ptr<Document>& doc, int& line, int& column, QString& error)
{
    const QJsonValue uri = params.value("textDocument").toObject().value("uri");
    if (!uri.isString()) {
        error = "textDocument.uri is missing";
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto it = documents_.find(ss(uri.toString()));
        if (it == documents_.end()) {
            error = "the document is not open: " + uri.toString();
            return false;
        }
        doc = it->second;
    }
    if (!params.contains("position"))
        return true;
    const QJsonObject pos = params.value("position").toObject();
    const QJsonValue l = pos.value("line"), c = pos.value("character");
    if (!l.isDouble() || !c.isDouble() || l.toDouble() < 0 || c.toDouble() < 0 || l.toDouble() >= doc->lineCount() ||
        l.toDouble() != static_cast<int>(l.toDouble())) {
        error = "the position is outside the document";
        return false;
    }
    line = l.toInt();
    // A character past the end of its line stands for the line's end, as
    // the protocol has it (an editor with a free cursor sends such places).
    const std::string text = doc->line(line);
    column = byteColumn(text, static_cast<int>(std::min(c.toDouble(), 1e9)));
    return true;
}

QJsonValue Server::definition(const QJsonObject& params, int& code, QString& error)
{
    std::shared_ptr<Document> doc;
    int line = 0, column = 0;
    if (!locate(params, doc, line, column, error)) {
        code = InvalidParams;
        return QJsonValue();
    }
    const symbols::Symbol* s = doc->index.at(line, column);
    if (!s || !s->defined)
        return QJsonValue::Null;
    return QJsonObject{{"uri", qs(doc->uri)}, {"range", doc->range(s->definition)}};
}

QJsonValue Server::references(const QJsonObject& params, int& code, QString& error)
{
    std::shared_ptr<Document> doc;
    int line = 0, column = 0;
    if (!locate(params, doc, line, column, error)) {
        code = InvalidParams;
        return QJsonValue();
    }
    const symbols::Symbol* s = doc->index.at(line, column);
    if (!s)
        return QJsonValue::Null;
    const bool withDeclaration = params.value("context").toObject().value("includeDeclaration").toBool(true);
    QJsonArray out;
    if (s->defined && withDeclaration)
        out.append(QJsonObject{{"uri", qs(doc->uri)}, {"range", doc->range(s->definition)}});
    for (const symbols::Place& p : s->uses)
        out.append(QJsonObject{{"uri", qs(doc->uri)}, {"range", doc->range(p)}});
    return out;
}

QJsonValue Server::hover(const QJsonObject& params, int& code, QString& error)
{
    std::shared_ptr<Document> doc;
    int line = 0, column = 0;
    if (!locate(params, doc, line, column, error)) {
        code = InvalidParams;
        return QJsonValue();
    }
    std::shared_ptr<const Analysis> analysis;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // An analysis of an older text has its conflicts on the lines of
        // that text and the token codes of its declarations: after an edit
        // they would be shown on the wrong lines until the new analysis.
        if (doc->analysedVersion == doc->version)
            analysis = doc->analysis;
    }
    const bool sk = options_.analyzer.slovak != 0;
    std::string text;
    const symbols::Symbol* s = doc->index.at(line, column);
    if (s) {
        switch (s->kind) {
        case symbols::Kind::Nonterminal:
            for (const std::string& r : s->rules)
                text += r + "\n";
            break;
        case symbols::Kind::Token: {
            text = (sk ? "token " : "token ") + s->name + "\n";
            int codeValue = s->number;
            if (analysis) {
                const auto it = analysis->tokenCodes.find(s->name);
                if (it != analysis->tokenCodes.end())
                    codeValue = it->second;
            }
            if (codeValue >= 0)
                text += (sk ? "kod: " : "code: ") + std::to_string(codeValue) + "\n";
            if (s->precedence > 0)
                text += (sk ? "priorita: " : "precedence: ") + std::to_string(s->precedence) + " " + s->associativity +
                        "\n";
            else
                text += sk ? "bez priority\n" : "no precedence\n";
            break;
        }
        case symbols::Kind::StartCondition:
            text = (sk ? "startovacia podmienka " : "start condition ") + s->name + "\n";
            break;
        case symbols::Kind::Definition:
            text = s->name + " " + s->text + "\n";
            break;
        }
        if (!s->defined)
            text += sk ? "(nedefinovany)\n" : "(not defined)\n";
    }
    if (analysis)
        for (const ConflictNote& c : analysis->conflicts)
            if (c.line == line) {
                if (!text.empty())
                    text += "\n";
                text += c.head + "\n";
                for (const std::string& l : c.example)
                    text += "    " + l + "\n";
            }
    if (text.empty())
        return QJsonValue::Null;
    return QJsonObject{{"contents", QJsonObject{{"kind", "plaintext"}, {"value", qs(text)}}}};
}

QJsonValue Server::documentSymbols(const QJsonObject& params, int& code, QString& error)
{
    std::shared_ptr<Document> doc;
    int line = 0, column = 0;
    if (!locate(params, doc, line, column, error)) {
        code = InvalidParams;
        return QJsonValue();
    }
    QJsonArray out;
    for (const symbols::Symbol& s : doc->index.symbols()) {
        if (!s.defined)
            continue;
        int kind = 14;  // Constant: a token
        if (s.kind == symbols::Kind::Nonterminal)
            kind = 12;  // Function
        else if (s.kind == symbols::Kind::StartCondition)
            kind = 10;  // Enum
        else if (s.kind == symbols::Kind::Definition)
            kind = 13;  // Variable
        const QJsonObject range = doc->range(s.definition);
        out.append(QJsonObject{{"name", qs(s.name)}, {"kind", kind}, {"range", range}, {"selectionRange", range}});
    }
    return out;
}

QJsonValue Server::completion(const QJsonObject& params, int& code, QString& error)
{
    std::shared_ptr<Document> doc;
    int line = 0, column = 0;
    if (!locate(params, doc, line, column, error)) {
        code = InvalidParams;
        return QJsonValue();
    }
    QJsonArray items;
    for (const symbols::Symbol& s : doc->index.symbols()) {
        int kind = 21;  // Constant
        if (s.kind == symbols::Kind::Nonterminal)
            kind = 3;  // Function
        else if (s.kind == symbols::Kind::StartCondition)
            kind = 13;  // Enum
        else if (s.kind == symbols::Kind::Definition)
            kind = 6;  // Variable
        items.append(QJsonObject{{"label", qs(s.name)}, {"kind", kind}});
    }
    return items;
}

int Server::serve(int in, int out, ServerOptions options)
{
    auto writer = [out](const QByteArray& bytes) {
        const char* p = bytes.constData();
        size_t left = static_cast<size_t>(bytes.size());
        while (left > 0) {
            const ssize_t n = ::write(out, p, left);
            if (n <= 0) {
                if (n < 0 && errno == EINTR)
                    continue;
                return;  // the client is gone; reading will notice
            }
            p += n;
            left -= static_cast<size_t>(n);
        }
    };
    // A client that gives up on the server ends it with a signal (Neovim
    // sends SIGTERM when the server is slow to stop, and always when it
    // stops one still starting).  The signals are taken as input here, so
    // that the server still stops its worker and removes its work
    // directory, which holds a copy of the user's buffer.  They are blocked
    // before the worker starts, so that the worker never receives them.
    sigset_t ending, before;
    sigemptyset(&ending);
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&ending, sig);
    pthread_sigmask(SIG_BLOCK, &ending, &before);
    const int signalFd = ::signalfd(-1, &ending, SFD_CLOEXEC);
    int status = 0;
    {
        Server server(std::move(options), writer);
        status = server.readLoop(in, signalFd);
    }
    if (signalFd >= 0)
        ::close(signalFd);
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    return status;
}

int Server::readLoop(int in, int signalFd)
{
    MessageReader reader;
    std::vector<char> buf(1 << 16);
    for (;;) {
        pollfd fds[2] = {{in, POLLIN, 0}, {signalFd, POLLIN, 0}};
        if (::poll(fds, signalFd >= 0 ? 2 : 1, -1) < 0) {
            if (errno == EINTR)
                continue;
            return 1;
        }
        if (signalFd >= 0 && (fds[1].revents & POLLIN)) {
            signalfd_siginfo info{};
            if (::read(signalFd, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
                return 128 + static_cast<int>(info.ssi_signo);
        }
        if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        const ssize_t n = ::read(in, buf.data(), buf.size());
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            return 0;  // input closed: nothing more can be asked
        reader.feed(buf.data(), static_cast<size_t>(n));
        std::string body;
        for (;;) {
            const MessageReader::Result r = reader.next(body);
            if (r == MessageReader::Result::NeedMore)
                break;
            if (r == MessageReader::Result::Error)
                framingError(body);
            else
                handle(body);
            if (exitRequested())
                return exitCode();
        }
    }
}

} // namespace vork::lsp
