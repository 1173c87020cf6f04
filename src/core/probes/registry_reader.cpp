// SPDX-License-Identifier: MIT
#include "probes/registry_reader.h"

#include "base/resume.h"
#include "base/step_failed.h"
#include "platform/platform.h"
#include "platform/registry.h"

namespace qni {

Text ReadRegValue(const Platform& platform, TextView path)
{
    Resume resume;
    std::unique_ptr<RegistryShell> shell;
    Variant value;
    Text result;
    resume([&] { shell = platform.registry->create(); });
    resume([&] {
        // A shell object that could not be created is Nothing here.
        if (!shell)
            throw StepFailed("Object variable not set");
        value = shell->regRead(Text(path));
    });
    resume([&] { result = value.toText(platform.numberFormat); });
    return result;
}

} // namespace qni
