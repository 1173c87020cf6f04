#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace qni::test {

// A tiny HTTP server on 127.0.0.1 and an ephemeral port, on its own thread.
// It serves one connection at a time (closed after the handler returns) and
// stops by itself after maxConnections or its lifetime, or when destroyed.
class LoopbackHttpServer {
public:
    struct Connection {
        QByteArray path;       // of the request line
        std::int64_t sent = 0; // bytes written so far
        // Writes all bytes; false once the peer has gone or the server stops.
        std::function<bool(const QByteArray&)> send;
    };
    using Handler = std::function<void(Connection&)>;

    explicit LoopbackHttpServer(Handler handler, int maxConnections = 16,
                                std::chrono::milliseconds lifetime = std::chrono::seconds(30));
    ~LoopbackHttpServer();

    quint16 port() const { return port_; }
    QString url(const QString& path = QStringLiteral("/")) const;
    int connections() const { return connections_.load(); }

private:
    int listenFd_ = -1;
    quint16 port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> connections_{0};
    std::thread thread_;
};

// "HTTP/1.0 <status>" with Content-Length and the body.
QByteArray httpResponse(const QByteArray& status, const QByteArray& body,
                        const QByteArray& contentType = "text/plain", const QByteArray& extraHeaders = {});

// A socket bound to an ephemeral port on 127.0.0.1 and not listening, so
// connections to it are refused; *port receives the port.
int boundLoopbackSocket(quint16* port);

} // namespace qni::test
