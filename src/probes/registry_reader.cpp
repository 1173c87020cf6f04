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
    resume([&] {
        if (!platform.registry)
            throw StepFailed("ActiveX component can't create object");
        shell = platform.registry->create();
    });
    resume([&] {
        if (!shell)
            throw StepFailed("Object variable not set");
        value = shell->regRead(path);
    });
    resume([&] { result = value.toText(); });
    return result;
}

} // namespace qni
