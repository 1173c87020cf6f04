// SPDX-License-Identifier: MIT
// Machine descriptions (QNI_MACHINE): the JSON checks, and the services made
// from a description that passes them.

#include "fuzz_support.h"

#include "base/step_failed.h"
#include "described/described_services.h"
#include "described/machine_description.h"
#include "platform/management.h"
#include "platform/registry.h"

using namespace qni;

namespace {

const Text kFile = u"fuzz.json";

bool lowerCaseKeys(const auto& hash)
{
    for (const auto& [key, value] : hash) {
        if (key != lowered(key))
            return false;
    }
    return true;
}

void useServices(const MachineDescription& d)
{
    const Platform platform = applyDescription(d, Platform{});
    if (d.registry.given()) {
        const std::unique_ptr<RegistryShell> shell = platform.registry->create();
        for (const auto& [path, value] : d.registry.value)
            QNI_FUZZ_CHECK(shell->regRead(path) == value);
    }
    if (d.management.given()) {
        const std::unique_ptr<ManagementService> service = platform.management->bind();
        for (const auto& [className, instances] : d.management.value) {
            QNI_FUZZ_CHECK(service->instancesOf(className).size() == instances.size());
            // Class names that are not identifiers fail the query, as they should.
            try {
                service->execQuery(u"SELECT * FROM " + className);
            } catch (const StepFailed&) {
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view json = fuzz::bytes(data, size);
    MachineDescription d;
    try {
        d = parseMachineDescription(json, kFile);
    } catch (const DescriptionError& e) {
        // The message names the file first, whatever the fault.
        QNI_FUZZ_CHECK(std::string_view(e.what()).starts_with("fuzz.json: "));
        return 0;
    }
    QNI_FUZZ_CHECK(d.fileName == kFile);
    QNI_FUZZ_CHECK(!d.registry.given() || lowerCaseKeys(d.registry.value));
    QNI_FUZZ_CHECK(!d.management.given() || lowerCaseKeys(d.management.value));
    useServices(d);
    return 0;
}
