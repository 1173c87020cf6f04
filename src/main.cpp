#include "platform/described/machine_description.h"
#include "platform/described/platform_from_environment.h"
#include "ui/app_metadata.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    // A bad machine description is reported before any window opens.
    qni::Platform platform;
    try {
        platform = qni::platformFromEnvironment();
    } catch (const qni::DescriptionError& e) {
        std::fprintf(stderr, "quarn-network-information: %s\n", e.what());
        return 2;
    }

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fprintf(stderr,
                     "quarn-network-information: no display found; run it under Xvfb with: "
                     "xvfb-run -a %s\n",
                     argv[0]);
        return 1;
    }

    QApplication app(argc, argv);
    qni::applyApplicationMetadata(app);
    QApplication::setWindowIcon(qni::applicationIcon());
    qni::FrmMain window(std::move(platform));
    window.show();
    // For measuring start-up (scripts/bench.sh): QNI_EXIT_WHEN_SHOWN ends the
    // program as soon as the window has been shown and painted once.
    if (qEnvironmentVariableIsSet("QNI_EXIT_WHEN_SHOWN"))
        QTimer::singleShot(0, &window, [&window] {
            window.repaint();
            std::fflush(nullptr);
            std::_Exit(0);
        });
    return app.exec();
}
