// SPDX-License-Identifier: MIT
// The window as a user meets it: one run per press, a status line that says
// what happened, and frames whose captions leave their boxes inside.
#include "app/gather.h"
#include "support/machine.h"
#include "ui/classic_controls.h"
#include "ui/main_window.h"

#include <QJsonObject>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace qni;
using namespace qni::test;

namespace {

// The described XP machine without network services, whose commands write
// nothing.
const QJsonObject kNoNetwork = {{"localAddress", QJsonValue::Null}, {"publicPage", QJsonValue::Null}};

struct Window {
    Platform withProcesses(Platform p)
    {
        p.processes = processes;
        return p;
    }

    std::shared_ptr<ScriptedProcesses> processes = std::make_shared<ScriptedProcesses>("");
    FrmMain w;
    explicit Window(const QJsonObject& change = kNoNetwork) : w(withProcesses(machinePlatform("xp-sp3.json", change)))
    {
        w.setMessageHandler([](const QString&) {});
        w.setEndProgram([] {});
        w.show();
    }
    QWidget* find(const char* name) { return w.findChild<QWidget*>(QLatin1String(name)); }
    qsizetype runs() const { return processes->starts; }
};

} // namespace

TEST(WindowTruth, OnePressOneRunWhateverPressesTheButton)
{
    Window win;
    QWidget* button = win.find("cmdGet");
    // Presses taken while the run handles events are dropped, not nested and
    // not queued.
    QTimer::singleShot(0, button, [button] {
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::keyClick(button, Qt::Key_Space);
        QTest::keyClick(button, Qt::Key_Return);
    });
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(win.runs(), 1);
    // The status line's tip lists what the run could not gather.
    auto* status = static_cast<QLabel*>(win.find("lblStatus"));
    EXPECT_EQ(status->text() + '|' + status->toolTip(), kGatheredWithErrors + '|' + failureList(win.w.lastOutcome()));
    EXPECT_TRUE(status->toolTip().startsWith(QStringLiteral("Network Address: the local address could not be read")));
    EXPECT_EQ(win.w.boxes().txtMemory.get(), QStringLiteral("512 MB Chip\r\n512 MB Chip\r\n"));

    // Space and Enter press the button that has the focus, and Enter
    // elsewhere does not: the button is not the window's default.
    const struct {
        const char* focus;
        Qt::Key key;
        qsizetype runs;
    } presses[] = {{"cmdGet", Qt::Key_Space, 2}, {"cmdGet", Qt::Key_Return, 3}, {"cmdGet", Qt::Key_Enter, 4},
                   {"txtOSSerial", Qt::Key_Return, 4}, {"txtCPU", Qt::Key_Enter, 4}};
    for (const auto& p : presses) {
        win.find(p.focus)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), p.key);
        EXPECT_EQ(win.runs(), p.runs) << p.focus << ' ' << p.key;
    }
}

TEST(WindowTruth, FrameCaptionsSitOnTheBorderWithEveryBoxInside)
{
    Window win;
    const QList<CaptionFrame*> frames = win.w.findChildren<CaptionFrame*>();
    ASSERT_EQ(frames.size(), 4);
    for (CaptionFrame* frame : frames) {
        SCOPED_TRACE(frame->title().toStdString());
        const int border = frame->borderTop();
        for (QWidget* child : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            EXPECT_GT(child->y(), border) << child->objectName().toStdString();

        const QImage drawn = frame->grab().toImage();
        const QRgb line = frame->palette().color(QPalette::Dark).rgb();
        const QRgb ground = frame->palette().color(QPalette::Window).rgb();
        EXPECT_EQ(drawn.pixel(frame->width() / 2, border), line);
        EXPECT_EQ(drawn.pixel(0, frame->height() / 2), line);
        // Across the caption the border row has a gap, and the text's strokes.
        const int textEnd = 8 + QFontMetrics(frame->font()).horizontalAdvance(frame->title());
        for (int x : {6, 7, textEnd, textEnd + 1})
            EXPECT_EQ(drawn.pixel(x, border), ground) << x;
        int strokes = 0;
        for (int x = 8; x < textEnd; ++x)
            strokes += drawn.pixel(x, border) != ground;
        EXPECT_GT(strokes, 0);
    }
}
