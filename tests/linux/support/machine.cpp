// SPDX-License-Identifier: MIT
#include "support/machine.h"

#include "described/described_services.h"
#include "described/machine_description.h"
#include "host/host_platform.h"

namespace qni::test {

Platform onHost(const Json& description)
{
    Platform base = hostPlatform(QStringLiteral("/nonexistent"));
    base = applyDescription(parseMachineDescription(
                                R"({"registry": null, "management": null, "localAddress": null, "publicPage": null})",
                                u"nothing.json"),
                            std::move(base));
    return applyDescription(parseMachineDescription(description.dump(), u"test.json"), std::move(base));
}

} // namespace qni::test
