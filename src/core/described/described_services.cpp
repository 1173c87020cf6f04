// SPDX-License-Identifier: MIT
#include "described/described_services.h"

#include "base/step_failed.h"
#include "described/machine_description.h"
#include "platform/network.h"
#include "platform/registry.h"

namespace qni {

namespace {

class DescribedManagementService final : public ManagementService {
public:
    using Classes = ValueMap<ManagementCollection>;
    explicit DescribedManagementService(std::shared_ptr<const Classes> classes) : classes_(std::move(classes)) {}
    ManagementCollection instancesOf(TextView className) const override
    {
        const auto it = classes_->find(lowered(className));
        if (it == classes_->end())
            throw StepFailed("Invalid class");
        return it->second;
    }

private:
    std::shared_ptr<const Classes> classes_; // shared: a service may outlive its provider
};

class DescribedManagement final : public ManagementProvider {
public:
    explicit DescribedManagement(const Described<ValueMap<ManagementCollection>>& d)
        : reachable_(!d.null()), classes_(std::make_shared<const ValueMap<ManagementCollection>>(d.value))
    {
    }
    std::unique_ptr<ManagementService> bind() const override
    {
        if (!reachable_)
            throw StepFailed("The remote server machine does not exist or is unavailable");
        return std::make_unique<DescribedManagementService>(classes_);
    }

private:
    bool reachable_;
    std::shared_ptr<const ValueMap<ManagementCollection>> classes_;
};

class DescribedRegistryShell final : public RegistryShell {
public:
    explicit DescribedRegistryShell(std::shared_ptr<const ValueMap<Variant>> values) : values_(std::move(values))
    {
    }
    Variant regRead(const Text& path) const override
    {
        const auto it = values_->find(lowered(path));
        if (it == values_->end())
            throw StepFailed("Unable to open registry key for reading");
        return it->second;
    }

private:
    std::shared_ptr<const ValueMap<Variant>> values_;
};

class DescribedRegistry final : public RegistryProvider {
public:
    explicit DescribedRegistry(const Described<ValueMap<Variant>>& d)
        : available_(!d.null()), values_(std::make_shared<const ValueMap<Variant>>(d.value))
    {
    }
    std::unique_ptr<RegistryShell> create() const override
    {
        if (!available_)
            throw StepFailed("ActiveX component can't create object");
        return std::make_unique<DescribedRegistryShell>(values_);
    }

private:
    bool available_;
    std::shared_ptr<const ValueMap<Variant>> values_;
};

class DescribedSockets final : public Sockets {
public:
    explicit DescribedSockets(Described<Text> d) : d_(std::move(d)) {}
    Text localAddress() const override
    {
        if (d_.null())
            throw StepFailed("Local address not available");
        return d_.value;
    }

private:
    Described<Text> d_;
};

class DescribedInternet final : public Internet {
public:
    explicit DescribedInternet(Described<Text> d) : d_(std::move(d)) {}
    Text openUrl(const Text&, EventPump&) override
    {
        if (d_.null())
            throw StepFailed("Cannot connect");
        return d_.value;
    }

private:
    Described<Text> d_;
};

} // namespace

Platform applyDescription(const MachineDescription& d, Platform base)
{
    if (!d.registry.absent() || !d.management.absent())
        base.hostIdentity.reset();
    if (!d.registry.absent())
        base.registry = std::make_shared<DescribedRegistry>(d.registry);
    if (!d.management.absent())
        base.management = std::make_shared<DescribedManagement>(d.management);
    if (!d.localAddress.absent())
        base.sockets = std::make_shared<DescribedSockets>(d.localAddress);
    if (!d.publicPage.absent())
        base.internet = std::make_shared<DescribedInternet>(d.publicPage);
    return base;
}

} // namespace qni
