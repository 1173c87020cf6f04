// SPDX-License-Identifier: MIT
// The host's page fetch, against servers on 127.0.0.1 only.
#include "ui/qt_event_pump.h"
#include "base/step_failed.h"
#include "host/qt_text.h"
#include "host/internet_service.h"
#include "platform/network.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSslKey>
#include <QSslServer>
#include <QTimer>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <unistd.h>

#include <thread>

using namespace qni;
using namespace std::chrono_literals;

namespace {

// A server on 127.0.0.1 that answers each request, one connection after the
// other, by writing the blocks respond(request, block) gives until it gives
// none or the peer has hung up; without `respond`, one that never accepts.
class Server {
public:
    using Respond = std::function<QByteArray(const QByteArray& request, int block)>;

    explicit Server(Respond respond) : respond_(std::move(respond))
    {
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t length = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        ::listen(listener_, 8);
        port = ntohs(address.sin_port);
        if (respond_)
            thread_ = std::thread([this] { serve(); });
    }
    ~Server()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        ::close(listener_);
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/").arg(port); }

    quint16 port = 0;

private:
    void serve()
    {
        while (!stop_) {
            pollfd p{listener_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue;
            const int fd = ::accept(listener_, nullptr, nullptr);
            char request[8192];
            const ssize_t n = ::recv(fd, request, sizeof request, 0); // none: a connection opened ahead, then dropped
            for (int block = 0; n > 0 && !stop_; ++block) {
                const QByteArray bytes = respond_(QByteArray(request, int(n)), block);
                if (bytes.isEmpty() || ::send(fd, bytes.constData(), bytes.size(), MSG_NOSIGNAL) <= 0)
                    break;
            }
            ::close(fd);
        }
    }

    Respond respond_;
    int listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

std::optional<QString> fetch(const QString& url, std::chrono::milliseconds limit = 10s, QString* why = nullptr)
{
    QtEventPump events;
    try {
        return toQt(makeHostInternet(limit)->openUrl(fromQt(url), events));
    } catch (const StepFailed& e) {
        if (why)
            *why = QString::fromUtf8(e.what());
        return std::nullopt;
    }
}

// One answer, written whole, to the first request.
Server::Respond once(const QByteArray& response)
{
    return [response](const QByteArray&, int block) { return block ? QByteArray() : response; };
}

// A proxy from the environment must not carry loopback requests away.
const bool kDirect = qputenv("no_proxy", "127.0.0.1");

TEST(Fetch, ThePageByStatusAndSize)
{
    const QByteArray oneMiB(1024 * 1024, 'a');
    const std::pair<QByteArray, std::optional<QString>> cases[] = {
        {"200 OK\r\nContent-Type: text/html;CharSet=\"latin1\"; q=1\r\n\r\ncaf\xe9", QStringLiteral("caf\u00e9")},
        {"200 OK\r\nContent-Type: text/plain; charset=x-unknown\r\n\r\ncaf\xc3\xa9", QStringLiteral("caf\u00e9")}, // UTF-8
        {"200 OK\r\n\r\ncaf\xc3", QStringLiteral("caf\ufffd")}, // a sequence cut off at the end is not held back
        {"204 No Content\r\n\r\n", QString()},
        {"399 Whatever\r\n\r\npage", "page"},
        {"400 Bad Request\r\n\r\npage", std::nullopt}, // a status of 400 or more is a failed fetch
        {"200 OK\r\nContent-Length: 1048576\r\n\r\n" + oneMiB, QString::fromLatin1(oneMiB)},
        {"200 OK\r\nContent-Length: 1048577\r\n\r\n" + oneMiB + 'a', std::nullopt},
        {"200 OK\r\n\r\n" + oneMiB + 'a', std::nullopt}, // no length declared
    };
    for (const auto& [response, page] : cases) {
        const Server server(once("HTTP/1.0 " + response));
        EXPECT_EQ(fetch(server.url()), page) << response.left(40).constData();
    }
    // Endless: given up as soon as it passes the cap, not read to the end.
    std::atomic<int> blocks = 0;
    const Server endless([&](const QByteArray&, int block) {
        return (blocks = block) ? QByteArray(64 * 1024, 'a') : QByteArray("HTTP/1.0 200 OK\r\n\r\n");
    });
    QString why;
    EXPECT_EQ(fetch(endless.url(), 10s, &why), std::nullopt);
    EXPECT_EQ(why, "the page is larger than 1024 KiB");
    EXPECT_LT(blocks, 512);
}

// The whole fetch has a limit, however the server stalls; a page within it
// arrives while the window's events go on.
TEST(Fetch, TheLimitIsOnTheWholeFetchAndTheEventsGoOnMeanwhile)
{
    const Server silent(nullptr); // accepted by the system, never answered
    const Server trickle([](const QByteArray&, int block) {
        std::this_thread::sleep_for(100ms);
        return block ? QByteArray("a") : QByteArray("HTTP/1.0 200 OK\r\n\r\n");
    });
    for (const Server* stalling : {&silent, &trickle}) {
        QElapsedTimer took;
        took.start();
        QString why;
        EXPECT_EQ(fetch(stalling->url(), 1s, &why), std::nullopt);
        EXPECT_EQ(why, "no answer in time");
        EXPECT_TRUE(took.elapsed() >= 1000 && took.elapsed() < 1500) << took.elapsed();
    }
    const Server late([](const QByteArray&, int block) {
        return block ? QByteArray() : (std::this_thread::sleep_for(400ms), QByteArray("HTTP/1.0 200 OK\r\n\r\n81.2.3.4"));
    });
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    EXPECT_EQ(fetch(late.url(), 1s), QStringLiteral("81.2.3.4"));
    EXPECT_GE(ticks, 10);
}

// http and https only, before and after redirects; at most five of them.
TEST(Fetch, RedirectsStayOnTheWebAndAreFewAndFollowedAcrossPorts)
{
    const Server target(once("HTTP/1.0 200 OK\r\n\r\n81.2.3.4"));
    // The hop is in the path, so a request that Qt sends again is the same hop.
    const auto redirecting = [](const QString& to, int hops) {
        return [to, hops](const QByteArray& request, int block) -> QByteArray {
            if (block)
                return {};
            const int hop = request.startsWith("GET /hop/") ? request.mid(9, 1).toInt() : 0;
            const QByteArray location = hop + 1 < hops ? "/hop/" + QByteArray::number(hop + 1) : to.toUtf8();
            return "HTTP/1.0 302 Found\r\nLocation: " + location + "\r\nContent-Length: 0\r\n\r\n";
        };
    };
    const std::tuple<QString, int, std::optional<QString>> cases[] = {
        {target.url(), 1, "81.2.3.4"}, // another port of the same host
        {target.url(), 5, "81.2.3.4"},
        {target.url(), 6, std::nullopt},
        {"file:///etc/hostname", 1, std::nullopt},
        {"ftp://127.0.0.1/", 1, std::nullopt},
    };
    for (const auto& [to, hops, page] : cases) {
        const Server server(redirecting(to, hops));
        EXPECT_EQ(fetch(server.url()), page) << to.toStdString() << ' ' << hops;
    }
    for (const char* address : {"file:///etc/hostname", "ftp://127.0.0.1/", "not an address"})
        EXPECT_EQ(fetch(QString::fromLatin1(address)), std::nullopt) << address;
}

// A server whose certificate nobody vouches for is not trusted.
TEST(Fetch, TlsIsVerified)
{
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(QSslCertificate::fromPath(QStringLiteral(QNI_TEST_DATA "/tls/cert.pem")).value(0));
    QFile key(QStringLiteral(QNI_TEST_DATA "/tls/key.pem"));
    ASSERT_TRUE(key.open(QIODevice::ReadOnly));
    tls.setPrivateKey(QSslKey(&key, QSsl::Rsa));
    QSslServer server; // served by the event loop that the fetch waits in
    server.setSslConfiguration(tls);
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    int handshakes = 0;
    QObject::connect(&server, &QSslServer::startedEncryptionHandshake, [&] { ++handshakes; });
    QString why;
    EXPECT_EQ(fetch(QStringLiteral("https://127.0.0.1:%1/").arg(server.serverPort()), 10s, &why), std::nullopt);
    EXPECT_EQ(why, "the server's certificate is not trusted");
    EXPECT_EQ(handshakes, 1);
}

// http_proxy carries the request; no_proxy names hosts reached directly.
TEST(Fetch, TheProxyVariablesApply)
{
    QByteArray asked;
    const Server proxy([&](const QByteArray& request, int block) {
        return block ? QByteArray() : (asked = request, QByteArray("HTTP/1.0 200 OK\r\n\r\n81.2.3.4"));
    });
    qputenv("http_proxy", QStringLiteral("http://127.0.0.1:%1").arg(proxy.port).toLatin1());
    qputenv("no_proxy", "127.0.0.1");
    EXPECT_EQ(fetch(QStringLiteral("http://quarn.invalid/ip")), QStringLiteral("81.2.3.4"));
    EXPECT_TRUE(asked.startsWith("GET http://quarn.invalid/ip HTTP/1.1\r\n")) << asked.constData();
    qputenv("no_proxy", "127.0.0.1,quarn.invalid");
    EXPECT_EQ(fetch(QStringLiteral("http://quarn.invalid/ip")), std::nullopt);
    qunsetenv("http_proxy");
}

} // namespace
