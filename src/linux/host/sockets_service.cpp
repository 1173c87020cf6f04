// SPDX-License-Identifier: MIT
#include "host/sockets_service.h"
#include "host/qt_text.h"

#include "host/host_platform.h"
#include "platform/network.h"

#include <exception>

namespace qni {

namespace {

const Adapter* firstWithAddress(const std::vector<Adapter>& adapters, bool (*accept)(const Adapter&))
{
    for (const Adapter& a : adapters) {
        if (!a.loopback && !a.ipv4.isEmpty() && accept(a))
            return &a;
    }
    return nullptr;
}

class HostSockets final : public Sockets {
public:
    explicit HostSockets(QString root) : root_(std::move(root)) {}

    Text localAddress() const override
    {
        // Read afresh each time: addresses come and go while the program runs.
        std::vector<Adapter> adapters;
        try {
            adapters = readHostAdapters(root_);
        } catch (const std::exception&) {
            // No interface list: the answer of a machine without a network.
        }
        return fromQt(chooseLocalAddress(adapters));
    }

private:
    QString root_;
};

} // namespace

QString chooseLocalAddress(const std::vector<Adapter>& adapters)
{
    const Adapter* chosen = firstWithAddress(adapters, [](const Adapter& a) { return a.defaultRoute; });
    if (!chosen)
        chosen = firstWithAddress(adapters, [](const Adapter& a) { return a.up; });
    if (!chosen)
        chosen = firstWithAddress(adapters, [](const Adapter&) { return true; });
    return chosen ? chosen->ipv4.front().address : QStringLiteral("127.0.0.1");
}

std::shared_ptr<Sockets> makeHostSockets(const QString& root)
{
    return std::make_shared<HostSockets>(root);
}

} // namespace qni
