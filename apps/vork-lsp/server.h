// The language server: answers a client's JSON-RPC messages about .y and .l
// buffers.  Requests are answered on the caller's thread from the symbol
// index; the generators run on a worker thread, so a slow grammar never
// holds up the next message.  Output goes through one callback, called with
// a whole framed message from either thread (never two at once).
#pragma once

#include "analysis.h"

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace vork::lsp {

struct ServerOptions {
    AnalyzerOptions analyzer;
    int debounceMs = 200;          // quiet time after a change before it is analysed
    size_t maxDocument = size_t(16) << 20;  // larger buffers are not analysed
};

class Server {
public:
    using Writer = std::function<void(const QByteArray&)>;

    Server(ServerOptions options, Writer writer);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // One message body as the reader delivered it.
    void handle(const std::string& body);
    // A message the reader could not frame.
    void framingError(const std::string& what);

    bool exitRequested() const { return exit_; }
    int exitCode() const { return shutdown_ ? 0 : 1; }

    // Blocks until the worker has nothing queued or running.
    void waitIdle();

    // Reads framed messages from fd `in` and writes to fd `out` until exit,
    // end of input, or SIGTERM, SIGINT or SIGHUP; the process's exit status
    // (128 + the signal's number after a signal).
    static int serve(int in, int out, ServerOptions options);

private:
    struct Document;

    // serve()'s loop over the client's input and the ending signals.
    int readLoop(int in, int signalFd);
    struct Job;

    void request(const QJsonValue& id, const QString& method, const QJsonObject& params);
    void notification(const QString& method, const QJsonObject& params);
    void reply(const QJsonValue& id, const QJsonValue& result);
    void replyError(const QJsonValue& id, int code, const QString& message);
    void send(const QJsonObject& message);

    void open(const QJsonObject& params);
    void change(const QJsonObject& params);
    void close(const QJsonObject& params);
    void schedule(const std::string& uri, int delayMs);
    void publish(const std::string& uri, int version, const std::vector<Diagnostic>& diagnostics);
    void work();

    // Navigation; each returns false with an error filled in for bad params.
    bool locate(const QJsonObject& params, std::shared_ptr<Document>& doc, int& line, int& column, QString& error);
    QJsonValue definition(const QJsonObject& params, int& code, QString& error);
    QJsonValue references(const QJsonObject& params, int& code, QString& error);
    QJsonValue hover(const QJsonObject& params, int& code, QString& error);
    QJsonValue documentSymbols(const QJsonObject& params, int& code, QString& error);
    QJsonValue completion(const QJsonObject& params, int& code, QString& error);

    ServerOptions options_;
    Writer writer_;
    std::mutex writeMutex_;

    bool initialized_ = false;
    bool shutdown_ = false;
    bool exit_ = false;

    std::mutex mutex_;  // documents_, jobs_, analyses, stop_
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::map<std::string, std::shared_ptr<Document>> documents_;
    std::map<std::string, std::shared_ptr<Job>> jobs_;
    bool busy_ = false;
    bool stop_ = false;
    std::string workDir_;
    std::thread worker_;
};

} // namespace vork::lsp
