// SPDX-License-Identifier: MIT
// Machine descriptions (QNI_MACHINE): the JSON checks, and the services made
// from a description that passes them.

#include "fuzz_support.h"

#include "base/step_failed.h"
#include "platform/described/described_services.h"
#include "platform/described/machine_description.h"
#include "platform/management.h"
#include "platform/registry.h"

using namespace qni;

namespace {

const QString kFile = QStringLiteral("fuzz.json");

bool lowerCaseKeys(const auto& hash)
{
    for (auto it = hash.cbegin(); it != hash.cend(); ++it) {
        if (it.key() != it.key().toLower())
            return false;
    }
    return true;
}

void useServices(const MachineDescription& d)
{
    const Platform platform = applyDescription(d, Platform{});
    if (d.registry.given()) {
        const std::unique_ptr<RegistryShell> shell = platform.registry->create();
        for (auto it = d.registry.value.cbegin(); it != d.registry.value.cend(); ++it)
            QNI_FUZZ_CHECK(shell->regRead(it.key()) == it.value());
    }
    if (d.management.given()) {
        const std::unique_ptr<ManagementService> service = platform.management->bind();
        for (auto it = d.management.value.cbegin(); it != d.management.value.cend(); ++it) {
            QNI_FUZZ_CHECK(service->instancesOf(it.key()).size() == it.value().size());
            // Class names that are not identifiers fail the query, as they should.
            try {
                service->execQuery(QStringLiteral("SELECT * FROM ") + it.key());
            } catch (const StepFailed&) {
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray json(reinterpret_cast<const char*>(data), qsizetype(size));
    MachineDescription d;
    try {
        d = parseMachineDescription(json, kFile);
    } catch (const DescriptionError& e) {
        // The message names the file first, whatever the fault.
        QNI_FUZZ_CHECK(QByteArrayView(e.what()).startsWith("fuzz.json: "));
        return 0;
    }
    QNI_FUZZ_CHECK(d.fileName == kFile);
    QNI_FUZZ_CHECK(!d.registry.given() || lowerCaseKeys(d.registry.value));
    QNI_FUZZ_CHECK(!d.management.given() || lowerCaseKeys(d.management.value));
    useServices(d);
    return 0;
}
