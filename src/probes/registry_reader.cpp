// SPDX-License-Identifier: MIT
#include "probes/registry_reader.h"

#include "base/resume.h"
#include "base/step_failed.h"
#include "platform/platform.h"
#include "platform/registry.h"

namespace qni {

QString ReadRegValue(const Platform& platform, const QString& path)
{
    Resume resume;
    std::unique_ptr<RegistryShell> shell;
    Variant value;
    QString result;
    resume([&] { shell = platform.registry->create(); });
    resume([&] {
        // A shell object that could not be created is Nothing here.
        if (!shell)
            throw StepFailed("Object variable not set");
        value = shell->regRead(path);
    });
    resume([&] { result = value.toText(); });
    return result;
}

} // namespace qni
