#pragma once

#include "app/gather.h"
#include "app/network_section.h"
#include "runner/read_output.h"
#include "ui/main_window.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace qni::test {

// The real main window, as the program builds it, that never ends the
// program; gather() and network() run as a click does, less the pause.
struct TestWindow {
    explicit TestWindow(Platform platform) : w(std::move(platform)) { w.setEndProgram([] {}); }

    ResultBoxes& boxes() { return w.boxes(); }

    void network()
    {
        NetworkHost host{w.boxes(), w.platform(), *w.findChild<ReadOutput*>(QStringLiteral("ReadOutput1")),
                         [](Int16) {}};
        RunNetworkSection(host);
    }

    void gather()
    {
        GatherHost host{w.boxes(), w.platform(), [] { QCoreApplication::processEvents(); },
                        [](const QString& text) { ADD_FAILURE() << "message: " << text.toStdString(); },
                        [this] { network(); }};
        RunGather(host);
    }

    FrmMain w;
};

} // namespace qni::test
