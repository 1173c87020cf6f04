// SPDX-License-Identifier: MIT
#include "ui/main_window.h"

#include "host/qt_text.h"

#include "app/gather.h"
#include "app/network_section.h"
#include "app/pause.h"
#include "ui/qt_event_pump.h"
#include "runner/read_output.h"
#include "ui/about_box.h"
#include "ui/accessibility.h"
#include "ui/app_metadata.h"
#include "ui/classic_controls.h"
#include "ui/runner_face.h"
#include "ui/twips.h"
#include "ui/window_placement.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>

#include <cstdio>
#include <cstdlib>

namespace qni {

namespace {

QFont arial(double points, bool bold = false)
{
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

template <class W>
W* place(W* widget, const char* name, QRect geometry)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

QLabel* rowLabel(QWidget* frame, const char* name, const QString& caption, int top, int width)
{
    auto* label = place(new QLabel(caption, frame), name, twipsRect(120, top, width, 255));
    label->setFont(arial(9.75));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

template <class Box>
Box* rowBox(QWidget* frame, const char* name, int top, int height = 285)
{
    auto* box = place(new Box(frame), name, twipsRect(1920, top, 3375, height));
    box->setFont(arial(8.25));
    return box;
}

QGroupBox* frame(QWidget* parent, const char* name, const QString& caption, int top, int height)
{
    // Captions on the border line: the boxes below them stay inside.
    auto* box = place(new CaptionFrame(caption, parent), name, twipsRect(120, top, 5415, height));
    box->setFont(arial(9.75));
    return box;
}

// Hidden controls and faceless components: there at design time, never seen.
template <class W>
W* hidden(W* widget)
{
    widget->setVisible(false);
    widget->setFocusPolicy(Qt::NoFocus);
    widget->setAttribute(Qt::WA_DontShowOnScreen);
    return widget;
}

} // namespace

FrmMain::FrmMain(Platform platform, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      platform_(std::move(platform))
{
    setObjectName(QStringLiteral("frmMAin"));
    setWindowTitle(kApplicationName);
    setWindowIcon(applicationIcon());
    buildLayout();

    boxes_ = std::make_unique<ResultBoxes>(ResultBoxes{*txtOS, *txtOSSerial, *txtVersion, *txtMemory, *txtCPU,
                                                       *txtCPUSpeed, *txtNETIP, *txtINTIP, *txtMask, *txtMac,
                                                       *txtOutput, *txtIP, *txtTotal, *lblStatus, *lblIPConfig});
    nameResultBoxes(*boxes_);
    markAsStatusLine(*lblStatus);
    showMessage_ = [this](const QString& text) { showNotXpMessage(text); };
    // At once, but the commands it started end with it (at_quick_exit).
    endProgram_ = [] {
        std::fflush(nullptr);
        std::quick_exit(0);
    };
    connect(cmdGet, &QPushButton::clicked, this, [this] { cmdGet_Click(); });
    wireRunner(*ReadOutput1, events_, *txtOutput);
    connect(mnuAbout, &QAction::triggered, this, [this] { showAboutBox(platform_); });
}

FrmMain::~FrmMain() = default;

void FrmMain::buildLayout()
{
    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuAbout = mnuHelp->addAction(QStringLiteral("&About"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));

    // The client area below the menu bar: 7110 x 6300 twips.
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    client_->setMinimumSize(0, 0);
    setCentralWidget(client_);

    OS = frame(client_, "OS", QStringLiteral("OS Information"), 120, 1575);
    rowLabel(OS, "Label1", QStringLiteral("Operating System:"), 360, 1935);
    txtOS = rowBox<MultiTextBox>(OS, "txtOS", 360);
    txtOS->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtOS->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    txtOS->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtOS->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rowLabel(OS, "Label2", QStringLiteral("Serial Number:"), 720, 1335);
    txtOSSerial = rowBox<LineTextBox>(OS, "txtOSSerial", 720);
    rowLabel(OS, "Label3", QStringLiteral("OS Version:"), 1080, 1215);
    txtVersion = rowBox<LineTextBox>(OS, "txtVersion", 1080);

    Memory = frame(client_, "Memory", QStringLiteral("RAM Information"), 1800, 880);
    rowLabel(Memory, "Label4", QStringLiteral("Memory Chips:"), 360, 1335);
    txtMemory = rowBox<MultiTextBox>(Memory, "txtMemory", 240, 530);
    txtMemory->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtMemory->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtMemory->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    Processor = frame(client_, "Processor", QStringLiteral("Processor Information"), 2760, 1215);
    rowLabel(Processor, "Label5", QStringLiteral("CPU:"), 360, 495);
    txtCPU = rowBox<LineTextBox>(Processor, "txtCPU", 360);
    rowLabel(Processor, "Label6", QStringLiteral("Clocked Speed:"), 720, 1455);
    txtCPUSpeed = rowBox<LineTextBox>(Processor, "txtCPUSpeed", 720);

    IPInfo = frame(client_, "IPInfo", QStringLiteral("IP Information"), 4080, 1815);
    rowLabel(IPInfo, "Label7", QStringLiteral("Network Address:"), 360, 1575);
    txtNETIP = rowBox<LineTextBox>(IPInfo, "txtNETIP", 360);
    rowLabel(IPInfo, "Label8", QStringLiteral("Internet Address:"), 720, 1575);
    txtINTIP = rowBox<LineTextBox>(IPInfo, "txtINTIP", 720);
    rowLabel(IPInfo, "Label9", QStringLiteral("Subnet Mask:"), 1080, 1215);
    txtMask = rowBox<LineTextBox>(IPInfo, "txtMask", 1080);
    rowLabel(IPInfo, "Label10", QStringLiteral("Mac Address:"), 1440, 1335);
    txtMac = rowBox<LineTextBox>(IPInfo, "txtMac", 1440);

    cmdGet = place(new PushButton(QStringLiteral("Gather Info"), client_), "cmdGet", twipsRect(5640, 240, 1335, 375));
    cmdGet->setFont(arial(9.75));
    cmdGet->setAutoDefault(false);
    cmdGet->setDefault(false);

    lblStatus = place(new CaptionLabel(client_), "lblStatus", twipsRect(0, 6000, 7095, 300));
    lblStatus->setFont(arial(9.75, true));
    lblStatus->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblStatus->setAutoFillBackground(true);
    {
        QPalette p = lblStatus->palette();
        p.setColor(QPalette::Window, QColor(0, 0, 0));
        p.setColor(QPalette::WindowText, QColor(255, 255, 255));
        lblStatus->setPalette(p);
    }

    txtOutput = hidden(place(new MultiTextBox(client_), "txtOutput", twipsRect(5640, 4200, 1335, 735)));
    txtIP = hidden(place(new LineTextBox(client_), "txtIP", twipsRect(5640, 1800, 1095, 285)));
    txtTotal = hidden(place(new LineTextBox(client_), "txtTotal", twipsRect(5640, 960, 1215, 285)));
    lblIPConfig = hidden(place(new CaptionLabel(client_), "lblIPConfig", twipsRect(5760, 3720, 1095, 255)));
    lblIPConfig->set(u"ipconfig /all");
    ReadOutput1 = std::make_unique<ReadOutput>(platform_);
    ReadOutput1Face = new RunnerFace(client_);
    ReadOutput1Face->setObjectName(QStringLiteral("ReadOutput1"));
    ReadOutput1Face->move(twipsToPixels(6000), twipsToPixels(2160));
    hidden(ReadOutput1Face);
    sOCk = hidden(place(new QWidget(client_), "sOCk", twipsRect(5640, 2760, 420, 420)));
    Inet1 = hidden(place(new QWidget(client_), "Inet1", twipsRect(6000, 3000, 420, 420)));

    // Focus order: the OS boxes, the button, then the rest top to bottom.
    QWidget* order[] = {txtOS, txtOSSerial, txtVersion, cmdGet, txtMemory, txtCPU,
                        txtCPUSpeed, txtNETIP, txtINTIP, txtMask, txtMac};
    for (QWidget* w : order)
        w->setFocusPolicy(Qt::StrongFocus);
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    // Client area of 474 x 420 pixels below the menu bar.
    const QSize client(twipsToPixels(7110), twipsToPixels(6300));
    resize(client.width(), client.height() + menuBar()->sizeHint().height());
}

void FrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!centred_) {
        centred_ = true;
        centreOnScreen(*this);
        txtOS->setFocus(Qt::OtherFocusReason);
    }
}

void FrmMain::cmdGet_Click()
{
    // A press while a run handles events does nothing, neither nested nor
    // queued: a nested run would list every memory module twice.
    if (gathering_)
        return;
    gathering_ = true;
    const auto done = qScopeGuard([this] { gathering_ = false; });
    lblStatus->setToolTip(QString());
    GatherHost host{*boxes_, platform_, events_, [this](const Text& text) { showMessage_(toQt(text)); },
                    [this](const BoxFailed& failed) { gatherNetworkFacts(failed); }};
    lastOutcome_ = runGather(host);
    lblStatus->setToolTip(toQt(failureList(lastOutcome_)));
}

void FrmMain::gatherNetworkFacts(const BoxFailed& failed)
{
    NetworkHost host{*boxes_, platform_, *ReadOutput1, events_, [this](Int16 iSecs) { Pause(iSecs, events_, platform_.sleep); },
                     settings_.publicPage, failed};
    runNetworkSection(host);
}

void FrmMain::showNotXpMessage(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, kApplicationName, text, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("notXpMessage"));
    box.setAccessibleDescription(text);
    box.exec();
}

void FrmMain::closeEvent(QCloseEvent* event)
{
    // Unloading the main window ends the whole program at once: a gather
    // waiting at an event-processing point never resumes, and every other
    // window goes with it.
    event->accept();
    if (endProgram_)
        endProgram_();
}

} // namespace qni
