// SPDX-License-Identifier: MIT
#pragma once

#include "platform/identity.h"

#include <QString>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>

namespace qni {

struct Platform;
class EventPump;
class ProcessService;
class WindowService;

// Runs one console command at a time through the command interpreter, with
// its output and errors in one pipe, and hands the output to its container as
// signals. Every signal is delivered synchronously: connect them directly
// (Error's code is passed by reference), and the container's handler runs to
// its end before the control goes on. The control's refusals and failures
// reach the container only through Error; its methods always return.
//
// A faceless control: it keeps the size of its icon, 65 x 49 pixels, and is
// never shown; render() draws the icon.
class ReadOutput : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString SetCommand READ command WRITE SetCommand)

public:
    explicit ReadOutput(const Platform& platform, QWidget* parent = nullptr);
    ~ReadOutput() override;

    // The command for the next run. Nothing is checked, and a run in
    // progress keeps the command it started with.
    Q_INVOKABLE void SetCommand(const QString& sCommandVal);
    Q_INVOKABLE QString command() const;

    // Asks the run in progress to stop at its next read; Error 1202 when
    // there is none.
    Q_INVOKABLE void CancelProcess();

    // Runs the stored command and returns when its output has ended or the
    // run was cancelled. Error 1200 for an empty command, 1201 during a run.
    Q_INVOKABLE void ProcessCommand();

    // Asks the process's top-level windows to close (WM_CLOSE); on the
    // Windows 95/98/Me family asks them to end the session and terminates the
    // process. True when at least one window was asked (and, there, the
    // process was terminated).
    Q_INVOKABLE bool CloseProcess(int lProcessID, int uExitCode = 0);

    // The program hands in its one event pump: a round of events runs before
    // every read, and the wait for output is spent in the event loop. Without
    // one the run does not stop for events and each read blocks. The version
    // source
    // stands for GetVersionExA (by default the platform's version record) and
    // is a seam for tests.
    void setEventPump(EventPump* events);

    // A run that lasts longer than this is cancelled as CancelProcess
    // cancels it, so that a command that hangs, or whose child holds the
    // pipe open, cannot hold its container up for ever. Zero: no limit.
    // timedOut() tells whether the last run ended so.
    void setTimeLimit(std::chrono::milliseconds limit) { timeLimit_ = limit; }
    bool timedOut() const { return timedOut_; }
    void setVersionSource(std::function<VersionRecord()> source);

    void setVisible(bool visible) override;
    QSize sizeHint() const override;

    static constexpr int kWidth = 65;  // 975 twips
    static constexpr int kHeight = 49; // 735 twips

signals:
    void Error(const QString& message, int& LastDLLError);
    void GotChunk(const QString& sChunk, bool LastChunk);
    void Complete();
    void Starting();
    void Canceled();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ExecuteCommand(const QString& command);
    void CheckOSVersion();
    bool PostProcessMessage(int processId, quint32 message, qint64 wParam);
    void raiseError(const QString& message, int code);

    std::shared_ptr<ProcessService> processes_;
    std::shared_ptr<WindowService> windows_;
    std::function<VersionRecord()> getVersion_;
    EventPump* events_ = nullptr;
    std::chrono::milliseconds timeLimit_{0};
    bool timedOut_ = false;

    bool bVersionChecked = false;
    bool bIsWin9x = false;
    QString sCommand;
    bool bProcessing = false;
    bool bCancel = false;
};

// The operating-system family test: true for the Windows 95/98/Me family.
bool isWin9xFamily(const VersionRecord& version);

} // namespace qni
