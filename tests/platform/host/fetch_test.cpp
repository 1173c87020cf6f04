// SPDX-License-Identifier: MIT
// The host's page fetch, against servers on 127.0.0.1 only.
#include "platform/host/host_platform.h"
#include "platform/network.h"
#include "platform/platform.h"

#include "host_samples.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

using namespace qni;
using namespace std::chrono_literals;

namespace {

constexpr qint64 kMiB = 1024 * 1024;

// A socket on 127.0.0.1 listening with the given backlog; its address.
int listening(int backlog, sockaddr_in& address)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    address = {AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::listen(fd, backlog);
    return fd;
}

std::optional<QString> fetch(const sockaddr_in& address)
{
    qputenv("no_proxy", "127.0.0.1"); // a proxy must not carry loopback requests away
    try {
        return makeHostInternet()->openUrl(QStringLiteral("http://127.0.0.1:%1/").arg(ntohs(address.sin_port)));
    } catch (const StepFailed&) {
        return std::nullopt;
    }
}

// Fetches from a server that answers once by writing the blocks `respond`
// gives until it gives none or the fetch has hung up.
std::optional<QString> fetch(const std::function<QByteArray(int block)>& respond)
{
    sockaddr_in address;
    const int listener = listening(1, address);
    std::thread server([&] {
        pollfd p{listener, POLLIN, 0};
        const int fd = ::poll(&p, 1, 10000) > 0 ? ::accept(listener, nullptr, nullptr) : -1;
        char request[4096];
        (void)!::recv(fd, request, sizeof request, 0);
        for (int block = 0;; ++block) {
            const QByteArray bytes = respond(block);
            if (bytes.isEmpty() || ::send(fd, bytes.constData(), bytes.size(), MSG_NOSIGNAL) <= 0)
                break;
        }
        ::close(fd);
    });
    const std::optional<QString> page = fetch(address);
    server.join();
    ::close(listener);
    return page;
}

TEST(Fetch, ThePageByStatusAndSize)
{
    const QByteArray oneMiB(kMiB, 'a');
    const std::pair<QByteArray, std::optional<QString>> cases[] = {
        {"200 OK\r\nContent-Type: text/html;CharSet=\"latin1\"; q=1\r\n\r\ncaf\xe9", QStringLiteral("caf\u00e9")},
        {"200 OK\r\nContent-Type: text/plain; charset=x-unknown\r\n\r\ncaf\xc3\xa9", QStringLiteral("caf\u00e9")}, // UTF-8
        {"200 OK\r\n\r\ncaf\xc3", QStringLiteral("caf\ufffd")}, // a sequence cut off at the end is not held back
        {"204 No Content\r\n\r\n", QString()},
        {"399 Whatever\r\n\r\npage", "page"},
        {"400 Bad Request\r\n\r\npage", std::nullopt}, // a status of 400 or more is a failed fetch
        {"404 Not Found\r\n\r\npage", std::nullopt},
        {"200 OK\r\nContent-Length: 1048576\r\n\r\n" + oneMiB, QString::fromLatin1(oneMiB)},
        {"200 OK\r\nContent-Length: 1048577\r\n\r\n" + oneMiB + 'a', std::nullopt},
        {"200 OK\r\n\r\n" + oneMiB + 'a', std::nullopt}, // no length declared
    };
    for (const auto& [response, page] : cases)
        EXPECT_EQ(fetch([&](int block) { return block ? QByteArray() : "HTTP/1.0 " + response; }), page)
            << response.left(40).constData();
    // Endless: given up as soon as it passes the cap, not read to the end.
    int blocks = 0;
    EXPECT_EQ(fetch([&](int block) { return (blocks = block) ? QByteArray(64 * 1024, 'a') : "HTTP/1.0 200 OK\r\n\r\n"; }), std::nullopt);
    EXPECT_LT(blocks, 512);
}

// A listener whose queue is full leaves a new connection unanswered, as an
// unreachable host does. Only this bound is checked: the fetch has no seam
// to shorten its limit on the whole transfer.
TEST(Fetch, AnUnansweredConnectionIsGivenUpAfterThreeSeconds)
{
    sockaddr_in address;
    const int listener = listening(0, address);
    const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(fetch(address), std::nullopt);
    const auto elapsed = std::chrono::steady_clock::now() - begin;
    ::close(filler);
    ::close(listener);
    EXPECT_TRUE(elapsed > 2500ms && elapsed < 6s);
}

} // namespace
