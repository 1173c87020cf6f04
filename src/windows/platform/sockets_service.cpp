// SPDX-License-Identifier: MIT
// The sockets control's local address: the first IPv4 address that the
// machine's own name resolves to.
#include "windows_services.h"

#include "base/step_failed.h"
#include "platform/network.h"
#include "win_text.h"

#include <winsock2.h>

#include <cstring>

namespace qni {

namespace {

[[noreturn]] void unavailable(const char* step, int error)
{
    throw StepFailed("Local address not available (" + std::string(step) + ": " +
                     toUtf8(win::systemMessage(static_cast<unsigned long>(error))) + ")");
}

class WindowsSockets final : public Sockets {
public:
    WindowsSockets() : started_(WSAStartup(MAKEWORD(2, 2), &data_)) {}
    ~WindowsSockets() override
    {
        if (started_ == 0)
            WSACleanup();
    }

    Text localAddress() const override
    {
        if (started_ != 0)
            unavailable("WSAStartup", started_);
        char name[256] = {};
        if (gethostname(name, sizeof name - 1) != 0)
            unavailable("gethostname", WSAGetLastError());
        const hostent* host = gethostbyname(name);
        if (!host)
            unavailable("gethostbyname", WSAGetLastError());
        if (host->h_addrtype == AF_INET && host->h_length == int(sizeof(in_addr))) {
            for (char** address = host->h_addr_list; address && *address; ++address) {
                in_addr ipv4;
                std::memcpy(&ipv4, *address, sizeof ipv4);
                return fromLatin1(inet_ntoa(ipv4));
            }
        }
        throw StepFailed("Local address not available (the host name has no IPv4 address)");
    }

private:
    WSADATA data_{};
    int started_;
};

} // namespace

std::shared_ptr<Sockets> makeWindowsSockets() { return std::make_shared<WindowsSockets>(); }

} // namespace qni
