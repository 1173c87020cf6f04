// SPDX-License-Identifier: MIT
#include "base/step_failed.h"
#include "platform/host/cpu_facts.h"
#include "platform/host/host_platform.h"
#include "platform/registry.h"

namespace qni {

namespace {

// The Windows version values come from the presented identity; the processor
// name is the kernel's, read at each call.
class HostRegistryShell final : public RegistryShell {
public:
    HostRegistryShell(QString root, Identity identity) : root_(std::move(root)), identity_(std::move(identity)) {}

    Variant regRead(const QString& path) const override
    {
        auto is = [&](const QString& known) { return path.compare(known, Qt::CaseInsensitive) == 0; };
        if (is(regpath::kBuildLab))
            return Variant::text(identity_.buildLab);
        if (is(regpath::kCsdVersion))
            return Variant::text(identity_.csdVersion);
        if (is(regpath::kCurrentBuildNumber))
            return Variant::text(identity_.currentBuildNumber);
        if (is(regpath::kProcessorNameString)) {
            if (auto name = readProcessorName(root_))
                return Variant::text(*name);
        }
        throw StepFailed("Unable to open registry key \"" + path.toStdString() + "\" for reading");
    }

private:
    QString root_;
    Identity identity_;
};

class HostRegistry final : public RegistryProvider {
public:
    HostRegistry(QString root, Identity identity) : root_(std::move(root)), identity_(std::move(identity)) {}

    std::unique_ptr<RegistryShell> create() const override
    {
        return std::make_unique<HostRegistryShell>(root_, identity_);
    }

private:
    QString root_;
    Identity identity_;
};

} // namespace

std::shared_ptr<const RegistryProvider> makeHostRegistry(const QString& root, const Identity& identity)
{
    return std::make_shared<HostRegistry>(root, identity);
}

} // namespace qni
