// SPDX-License-Identifier: MIT
#include "base/step_failed.h"
#include "host/facts/cpu.h"
#include "host/host_platform.h"
#include "host/qt_text.h"
#include "platform/registry.h"

namespace qni {

namespace {

// Only the processor's name, read at each call: the Windows version values
// belong to a Windows, and the host shows its own system instead.
class HostRegistryShell final : public RegistryShell {
public:
    explicit HostRegistryShell(QString root) : root_(std::move(root)) {}

    Variant regRead(const Text& path) const override
    {
        if (equalNoCase(path, regpath::kProcessorNameString)) {
            if (auto name = readProcessorName(root_))
                return Variant::text(fromQt(*name));
        }
        throw StepFailed("Unable to open registry key \"" + toUtf8(path) + "\" for reading");
    }

private:
    QString root_;
};

class HostRegistry final : public RegistryProvider {
public:
    explicit HostRegistry(QString root) : root_(std::move(root)) {}

    std::unique_ptr<RegistryShell> create() const override { return std::make_unique<HostRegistryShell>(root_); }

private:
    QString root_;
};

} // namespace

std::shared_ptr<const RegistryProvider> makeHostRegistry(const QString& root)
{
    return std::make_shared<HostRegistry>(root);
}

} // namespace qni
