// SPDX-License-Identifier: MIT
#pragma once

#include "base/event_pump.h"
#include "base/result_boxes.h"
#include "platform/host/host_platform.h"
#include "platform/platform.h"
#include "platform/process_service.h"
#include "support/qt_printers.h"

#include <QJsonObject>

#include <algorithm>

namespace qni::test {

// The platform a machine description gives: the host's process and window
// services, and for every member the description leaves out a service that
// cannot be reached, never the test host's facts.
Platform describedPlatform(const QJsonObject& description);
// The same for a file of tests/data/machines, whose top-level members
// `change` replaces.
Platform machinePlatform(const char* file, const QJsonObject& change = {});

// Thirteen plain boxes and two captions, wired as the window wires them.
struct PlainBoxes {
    PlainTextSlot txtOS, txtOSSerial, txtVersion, txtMemory, txtCPU, txtCPUSpeed, txtNETIP, txtINTIP, txtMask,
        txtMac, txtOutput, txtIP, txtTotal, lblStatus, lblIPConfig{QStringLiteral("ipconfig /all")};
    ResultBoxes boxes{txtOS,   txtOSSerial, txtVersion, txtMemory, txtCPU,   txtCPUSpeed, txtNETIP, txtINTIP,
                      txtMask, txtMac,      txtOutput,  txtIP,     txtTotal, lblStatus,   lblIPConfig};
};

// A pump that runs a given round instead of the event loop's, and never waits.
struct RoundPump final : EventPump {
    explicit RoundPump(std::function<void()> r) : round(std::move(r)) {}
    std::function<void()> round;
    void processEvents() override { round(); }
    void waitUntil(const std::function<bool()>&) override {}
};

// A command that writes `output` and ends, read back in pieces of at most
// `chunk` bytes; with a negative chunk, a command that cannot be started.
class ScriptedProcesses final : public ProcessService {
public:
    explicit ScriptedProcesses(QByteArray output, int chunk = 256) : output_(std::move(output)), chunk_(chunk) {}
    QString commandInterpreter() const override { return QStringLiteral("cmd"); }
    bool createPipe(PipeHandle& r, PipeHandle& w) override { return r = PipeHandle(3), w = PipeHandle(4), true; }
    bool createProcess(const QString&, PipeHandle, int& id) override { return ++starts, next_ = 0, id = 42, chunk_ > 0; }
    bool readFile(PipeHandle, char* buffer, int size, int& bytesRead) override
    {
        bytesRead = int(std::min<qsizetype>({size, chunk_, output_.size() - next_}));
        std::copy_n(output_.constData() + next_, bytesRead, buffer);
        return next_ += bytesRead, bytesRead > 0;
    }
    bool outputReady(PipeHandle) override { return true; }
    std::unique_ptr<OutputDecoder> outputDecoder() const override { return makeSystemOutputDecoder(); }
    void closeHandle(PipeHandle) override {}
    void closeProcess(int) override {}
    ProcessHandle openProcess(qint64 id) override { return log << QStringLiteral("open %1").arg(id), ProcessHandle(9); }
    bool terminateProcess(ProcessHandle h, quint32 code) override
    {
        return log << QStringLiteral("terminate %1 %2").arg(qint64(h)).arg(code), true;
    }
    void closeProcessHandle(ProcessHandle h) override { log << QStringLiteral("close %1").arg(qint64(h)); }
    int lastError() const override { return 2; }

    int starts = 0;
    QStringList log; // how processes were closed

private:
    QByteArray output_;
    qsizetype chunk_, next_ = 0;
};

} // namespace qni::test
