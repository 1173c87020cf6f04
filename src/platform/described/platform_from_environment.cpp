// SPDX-License-Identifier: MIT
#include "platform/described/platform_from_environment.h"

#include "platform/described/command_outputs.h"
#include "platform/described/described_services.h"
#include "platform/described/machine_description.h"
#include "platform/host/host_platform.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <sys/mman.h>
#include <unistd.h>

namespace qni {

namespace {

// Commands inherit the environment, so the variable reaches the interpreter
// whichever way it is started. The outputs are held in a file in memory that
// lives exactly as long as this process, which the child opens through
// /proc: a file on disk would be left behind by a program that ends without
// unwinding. Each call replaces what an earlier one handed on.
void handOnCommandOutputs(const MachineDescription& description)
{
    static int held = -1;
    if (held >= 0) {
        ::close(held);
        held = -1;
    }
    qunsetenv(kCommandOutputsVariable.toLatin1());
    if (!description.commands.given())
        return;

    const int fd = ::memfd_create("qni-command-outputs", MFD_CLOEXEC);
    QString fault;
    if (fd < 0) {
        fault = QString::fromLocal8Bit(std::strerror(errno));
    } else {
        QFile file;
        const QByteArray bytes = encodeCommandOutputs(description.commands.value);
        if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle)
            || file.write(bytes) != bytes.size())
            fault = file.errorString();
    }
    if (!fault.isEmpty()) {
        if (fd >= 0)
            ::close(fd);
        throw DescriptionError(
            QStringLiteral("%1: the recorded commands cannot be handed on: %2").arg(description.fileName, fault)
                .toStdString());
    }
    held = fd;
    qputenv(kCommandOutputsVariable.toLatin1(), QByteArray("/proc/") + QByteArray::number(::getpid()) + "/fd/" +
                                         QByteArray::number(fd));
}

} // namespace

Platform platformFromEnvironment()
{
    Platform p = hostPlatform();
    const QString path = qEnvironmentVariable("QNI_MACHINE");
    const MachineDescription description = path.isEmpty() ? MachineDescription{} : loadMachineDescription(path);
    p = applyDescription(description, std::move(p));
    handOnCommandOutputs(description);
    return p;
}

} // namespace qni
