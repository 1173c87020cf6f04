// The host's page fetch against servers on 127.0.0.1 only.
#include "loopback_http_server.h"

#include "base/step_failed.h"
#include "platform/host/host_platform.h"
#include "platform/network.h"
#include "support/qt_printers.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace qni;
using namespace qni::test;
using namespace std::chrono_literals;
using Connection = LoopbackHttpServer::Connection;

namespace {

constexpr qint64 kMiB = 1024 * 1024;

struct Outcome {
    bool ok = false;
    QString text;
    std::string error;
    std::chrono::milliseconds elapsed{};
};

Outcome fetch(const QString& url)
{
    // A proxy from the environment must not carry loopback requests away.
    qputenv("no_proxy", "127.0.0.1");
    qputenv("NO_PROXY", "127.0.0.1");
    Outcome o;
    const auto begin = std::chrono::steady_clock::now();
    try {
        o.text = makeHostInternet()->openUrl(url);
        o.ok = true;
    } catch (const StepFailed& e) {
        o.error = e.what();
    }
    o.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin);
    return o;
}

TEST(Fetch, PageTextByStatusAndCharset)
{
    struct Case {
        QByteArray status, contentType, body;
        bool ok;
        QString text;
    };
    const Case cases[] = {
        {"200 OK", "text/plain", "81.2.3.4", true, "81.2.3.4"},
        {"200 OK", "text/plain; charset=ISO-8859-1", "caf\xe9", true, "caf\u00e9"},
        {"200 OK", "text/plain", "caf\xe9", true, "caf\ufffd"},
        {"204 No Content", "text/plain", "", true, ""},
        {"400 Bad Request", "text/plain", "page", false, ""},
        {"404 Not Found", "text/plain", "page", false, ""},
        {"500 Internal Server Error", "text/plain", "page", false, ""},
    };
    for (const Case& c : cases) {
        LoopbackHttpServer server([&](Connection& conn) { conn.send(httpResponse(c.status, c.body, c.contentType)); });
        const Outcome o = fetch(server.url());
        EXPECT_EQ(o.ok, c.ok) << c.status.constData() << " " << o.error;
        EXPECT_EQ(o.text, c.text) << c.status.constData();
    }
}

TEST(Fetch, BinaryBodyBecomesTextWithoutCrashing)
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(static_cast<char>(i));
    LoopbackHttpServer server([&](Connection& c) { c.send(httpResponse("200 OK", bytes, "application/octet-stream")); });
    const Outcome o = fetch(server.url());
    ASSERT_TRUE(o.ok) << o.error;
    ASSERT_GT(o.text.size(), 128);
    for (int i = 0; i < 128; ++i)
        ASSERT_EQ(o.text.at(i).unicode(), i);
    EXPECT_EQ(o.text.at(128), QChar(QChar::ReplacementCharacter));
}

// Bodies with and without a declared length; 1 MiB is the most a page may be.
TEST(Fetch, BodyIsCappedAtOneMebibyte)
{
    for (const bool declared : {true, false}) {
        for (const qint64 size : {kMiB, kMiB + 1}) {
            LoopbackHttpServer server([&](Connection& c) {
                const QByteArray length = declared ? "Content-Length: " + QByteArray::number(size) + "\r\n" : "";
                c.send("HTTP/1.0 200 OK\r\n" + length + "\r\n" + QByteArray(size, 'a'));
            });
            const Outcome o = fetch(server.url());
            EXPECT_EQ(o.ok, size == kMiB) << size << (declared ? " declared" : " streamed");
            EXPECT_EQ(o.text.size(), size == kMiB ? size : 0);
        }
    }
}

// A 100 MB page is given up as soon as it passes the cap: the server manages
// to hand over only what fits in the cap and the sockets' buffers.
TEST(Fetch, HugeBodyIsAbortedEarly)
{
    for (const bool declared : {true, false}) {
        std::atomic<std::int64_t> sent{0};
        Outcome o;
        {
            LoopbackHttpServer server([&](Connection& c) {
                const qint64 total = 100 * 1000 * 1000;
                const QByteArray block(64 * 1024, 'a');
                bool open = c.send("HTTP/1.0 200 OK\r\n"
                                   + (declared ? "Content-Length: " + QByteArray::number(total) + "\r\n" : "") + "\r\n");
                while (open && c.sent < total)
                    open = c.send(block);
                sent = c.sent;
            });
            o = fetch(server.url());
        }
        EXPECT_FALSE(o.ok);
        EXPECT_LT(sent.load(), 32 * kMiB) << (declared ? "declared" : "streamed");
        EXPECT_LT(o.elapsed, 5s);
    }
}

TEST(Fetch, FollowsAtMostFiveRedirects)
{
    // /r/N redirects to /r/N-1, /r/0 is the page; /loop redirects to itself.
    const auto handler = [](Connection& c) {
        const int n = c.path.mid(3).toInt();
        if (c.path == "/loop" || n > 0)
            c.send(httpResponse("302 Found", {}, "text/plain",
                                "Location: " + (n > 0 ? "/r/" + QByteArray::number(n - 1) : c.path) + "\r\n"));
        else
            c.send(httpResponse("200 OK", "arrived"));
    };
    const std::pair<const char*, bool> starts[] = {{"/r/5", true}, {"/r/6", false}, {"/loop", false}};
    for (const auto& [path, ok] : starts) {
        LoopbackHttpServer server(handler, 50);
        const Outcome o = fetch(server.url(QString::fromLatin1(path)));
        EXPECT_EQ(o.ok, ok) << path;
        EXPECT_EQ(o.text, ok ? "arrived" : "") << path;
        EXPECT_LE(server.connections(), 6) << path;
    }
}

TEST(Fetch, RefusedConnectionFailsAtOnce)
{
    quint16 port = 0;
    const int fd = boundLoopbackSocket(&port);
    const Outcome o = fetch(QStringLiteral("http://127.0.0.1:%1/").arg(port));
    ::close(fd);
    EXPECT_FALSE(o.ok);
    EXPECT_LT(o.elapsed, 2s);
}

TEST(Fetch, OnlyHttpAndHttpsAreFetched)
{
    LoopbackHttpServer server([](Connection& c) { c.send(httpResponse("200 OK", "page")); });
    for (const QString& url : {QStringLiteral("file:///etc/passwd"),
                               QStringLiteral("dict://127.0.0.1:%1/d:x").arg(server.port()), QStringLiteral("no url")})
        EXPECT_FALSE(fetch(url).ok) << url.toStdString();
    EXPECT_EQ(server.connections(), 0);
}

// A server that answers a byte at a time never finishes: the whole fetch
// gives up after ten seconds.
TEST(Fetch, SlowServerIsCutOffAfterTenSeconds)
{
    LoopbackHttpServer server(
        [](Connection& c) {
            bool open = c.send("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n");
            while (open) {
                std::this_thread::sleep_for(200ms);
                open = c.send("a");
            }
        },
        4, 15s);
    const Outcome o = fetch(server.url());
    EXPECT_FALSE(o.ok);
    EXPECT_GE(o.elapsed, 9500ms);
    EXPECT_LT(o.elapsed, 12s);
}

// A listener whose queue is full drops new connection attempts unanswered,
// as an unreachable host does: the fetch gives up after the connect time-out.
TEST(Fetch, UnansweredConnectGivesUpAfterThreeSeconds)
{
    quint16 port = 0;
    const int listener = boundLoopbackSocket(&port);
    ASSERT_EQ(::listen(listener, 0), 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(::connect(filler, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);

    const Outcome o = fetch(QStringLiteral("http://127.0.0.1:%1/").arg(port));
    ::close(filler);
    ::close(listener);
    EXPECT_FALSE(o.ok);
    EXPECT_GE(o.elapsed, 2500ms);
    EXPECT_LT(o.elapsed, 6s);
}

TEST(Fetch, UntrustedCertificateIsRefused)
{
    const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    if (openssl.isEmpty())
        GTEST_SKIP() << "openssl is not installed";
    QTemporaryDir dir;
    const QString key = dir.filePath(QStringLiteral("key.pem"));
    const QString cert = dir.filePath(QStringLiteral("cert.pem"));
    ASSERT_EQ(QProcess::execute(openssl, {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                                          "-nodes", "-keyout", key, "-out", cert, "-days", "1", "-subj",
                                          "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1"}),
              0);
    // Serves one connection and says where it listens once it does.
    QProcess server;
    server.setProcessChannelMode(QProcess::MergedChannels);
    server.start(openssl, {"s_server", "-accept", "127.0.0.1:0", "-naccept", "1", "-cert", cert, "-key", key, "-www"});
    QByteArray said;
    while (!said.contains("ACCEPT 127.0.0.1:") && server.waitForReadyRead(5000))
        said += server.readAll();
    const int port = said.mid(said.indexOf("ACCEPT 127.0.0.1:") + 17).split('\n').value(0).trimmed().toInt();
    ASSERT_GT(port, 0) << said.constData();

    const Outcome o = fetch(QStringLiteral("https://127.0.0.1:%1/").arg(port));
    server.kill();
    server.waitForFinished(5000);
    EXPECT_FALSE(o.ok);
    EXPECT_NE(o.error.find("certificate"), std::string::npos) << o.error;
}

} // namespace
