#include "loopback_http_server.h"

#include <QList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace qni::test {

using Clock = std::chrono::steady_clock;

int boundLoopbackSocket(quint16* port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        throw std::runtime_error("cannot bind a loopback socket");
    *port = ntohs(addr.sin_port);
    return fd;
}

LoopbackHttpServer::LoopbackHttpServer(Handler handler, int maxConnections, std::chrono::milliseconds lifetime)
{
    listenFd_ = boundLoopbackSocket(&port_);
    ::listen(listenFd_, 8);
    thread_ = std::thread([this, handler, maxConnections, deadline = Clock::now() + lifetime] {
        const auto over = [&] { return stopping_.load() || Clock::now() >= deadline; };
        while (!over() && connections_.load() < maxConnections) {
            pollfd p{listenFd_, POLLIN, 0};
            const int fd = ::poll(&p, 1, 100) > 0 ? ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC) : -1;
            if (fd < 0)
                continue;
            ++connections_;
            QByteArray head;
            char buf[4096];
            while (!head.contains("\r\n\r\n") && head.size() < 65536 && !over()) {
                pollfd in{fd, POLLIN, 0};
                const ssize_t n = ::poll(&in, 1, 100) > 0 ? ::recv(fd, buf, sizeof buf, 0) : 0;
                if (n < 0 || (n == 0 && in.revents))
                    break;
                head.append(buf, n);
            }
            Connection c;
            c.path = head.left(head.indexOf("\r\n")).split(' ').value(1);
            c.send = [&](const QByteArray& bytes) {
                for (qsizetype done = 0; done < bytes.size();) {
                    pollfd out{fd, POLLOUT, 0};
                    if (over())
                        return false;
                    if (::poll(&out, 1, 100) <= 0)
                        continue;
                    const ssize_t n = ::send(fd, bytes.constData() + done, bytes.size() - done, MSG_NOSIGNAL);
                    if (n <= 0)
                        return false;
                    done += n;
                    c.sent += n;
                }
                return true;
            };
            handler(c);
            ::close(fd);
        }
    });
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    stopping_ = true;
    thread_.join();
    ::close(listenFd_);
}

QString LoopbackHttpServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path);
}

QByteArray httpResponse(const QByteArray& status, const QByteArray& body, const QByteArray& contentType,
                        const QByteArray& extraHeaders)
{
    return "HTTP/1.0 " + status + "\r\nContent-Type: " + contentType + "\r\nContent-Length: "
        + QByteArray::number(body.size()) + "\r\n" + extraHeaders + "\r\n" + body;
}

} // namespace qni::test
