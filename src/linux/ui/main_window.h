// SPDX-License-Identifier: MIT
#pragma once

#include "app/facts.h"
#include "app/gather.h"
#include "ui/qt_event_pump.h"
#include "base/result_boxes.h"
#include "platform/platform.h"
#include "ui/text_box.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QGroupBox;
class QMenu;
class QPushButton;

namespace qni {

class ReadOutput;
class RunnerFace;

// The main window: four frames of labelled result boxes, "Gather Info", the
// status line, the Help menu, and hidden scratch boxes and tools. Laid out at
// fixed positions; resizing moves nothing.
class FrmMain final : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmMain(Platform platform, QWidget* parent = nullptr);
    ~FrmMain() override;

    ResultBoxes& boxes() { return *boxes_; }
    const Platform& platform() const { return platform_; }
    EventPump& events() { return events_; }
    ReadOutput& runner() { return *ReadOutput1; }

    // What the user chose for every run (the public-address page).
    void setSettings(GatherSettings settings) { settings_ = std::move(settings); }
    const GatherSettings& settings() const { return settings_; }

    // What the last finished run told beside the boxes: not XP, or which
    // facts it could not gather. Empty before the first run.
    const GatherOutcome& lastOutcome() const { return lastOutcome_; }

    // Test seams: the modal message of the XP gate, and how the program ends
    // when the window is closed.
    void setMessageHandler(std::function<void(const QString&)> handler) { showMessage_ = std::move(handler); }
    void setEndProgram(std::function<void()> endProgram) { endProgram_ = std::move(endProgram); }

    // The click handler of cmdGet: one gather run, unless one is in progress.
    void cmdGet_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    void showNotXpMessage(const QString& text);
    void gatherNetworkFacts(const BoxFailed& failed);

    Platform platform_;
    // The window's one event pump, handed to every step that waits.
    QtEventPump events_;
    QWidget* client_ = nullptr;

    QGroupBox* OS = nullptr;
    QGroupBox* Memory = nullptr;
    QGroupBox* Processor = nullptr;
    QGroupBox* IPInfo = nullptr;

    MultiTextBox* txtOS = nullptr;
    LineTextBox* txtOSSerial = nullptr;
    LineTextBox* txtVersion = nullptr;
    MultiTextBox* txtMemory = nullptr;
    LineTextBox* txtCPU = nullptr;
    LineTextBox* txtCPUSpeed = nullptr;
    LineTextBox* txtNETIP = nullptr;
    LineTextBox* txtINTIP = nullptr;
    LineTextBox* txtMask = nullptr;
    LineTextBox* txtMac = nullptr;
    MultiTextBox* txtOutput = nullptr;
    LineTextBox* txtIP = nullptr;
    LineTextBox* txtTotal = nullptr;
    CaptionLabel* lblStatus = nullptr;
    CaptionLabel* lblIPConfig = nullptr;
    QPushButton* cmdGet = nullptr;
    std::unique_ptr<ReadOutput> ReadOutput1;
    RunnerFace* ReadOutput1Face = nullptr;
    QWidget* sOCk = nullptr;
    QWidget* Inet1 = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuAbout = nullptr;

    std::unique_ptr<ResultBoxes> boxes_;
    GatherSettings settings_;
    GatherOutcome lastOutcome_;
    bool gathering_ = false;
    std::function<void(const QString&)> showMessage_;
    std::function<void()> endProgram_;
    bool centred_ = false;
};

} // namespace qni
