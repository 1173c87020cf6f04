// SPDX-License-Identifier: MIT
#include "app/command_line.h"
#include "described/machine_description.h"
#include "host/platform_from_environment.h"
#include "host/qt_text.h"
#include "report_run.h"
#include "ui/app_metadata.h"
#include "ui/exit_when_painted.h"
#include "ui/main_window.h"

#include <QApplication>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace {

// A standard descriptor closed at start would go to the next file the
// program opens (Qt's event descriptors, sockets, the description), and what
// is meant for standard output would land there. /dev/null holds each such
// number: readable for input; read-only for output, so that writes fail
// (EBADF) and a report cannot pass for delivered.
bool holdStandardDescriptors()
{
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free number: this one, as those below it are open.
        if (::open("/dev/null", O_RDONLY) != fd)
            return false;
    }
    return true;
}

// Reads the process's arguments and prints what the reading has to say.
qni::CommandLine readCommandLine(int argc, char** argv)
{
    std::vector<qni::Text> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(qni::fromQt(QString::fromLocal8Bit(argv[i])));
    qni::CommandLine result = qni::parseCommandLine(arguments);
    for (const auto& [stream, text] : {std::pair{stdout, &result.output}, std::pair{stderr, &result.error}}) {
        const QByteArray bytes = qni::toQt(*text).toLocal8Bit();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
        std::fflush(stream);
    }
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    if (!holdStandardDescriptors())
        return 1;
    const qni::CommandLine options = readCommandLine(argc, argv);
    if (options.exitStatus)
        return *options.exitStatus;

    // A bad machine description is reported before any window opens.
    qni::Platform platform;
    try {
        platform = qni::platformFromEnvironment();
    } catch (const qni::DescriptionError& e) {
        std::fprintf(stderr, "quarn-network-information: %s\n", e.what());
        return 2;
    }

    const bool report = options.mode != qni::RunMode::Window;
    if (report) {
        qni::prepareReportRun();
    } else if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
               qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fprintf(stderr,
                     "quarn-network-information: no display found; run it under Xvfb with: "
                     "xvfb-run -a %s\n",
                     argv[0]);
        return 1;
    }

    QApplication app(argc, argv);
    qni::applyApplicationMetadata(app);
    if (report)
        return qni::runReport(options.mode, std::move(platform), options.settings);

    QApplication::setWindowIcon(qni::applicationIcon());
    qni::FrmMain window(std::move(platform));
    window.setSettings(options.settings);
    // For measuring start-up (scripts/bench.sh).
    if (qEnvironmentVariableIsSet("QNI_EXIT_WHEN_SHOWN"))
        qni::exitAfterFirstPaint();
    window.show();
    return app.exec();
}
