// SPDX-License-Identifier: MIT
// The window as a user meets it: a fixed layout, one run per press, a status
// line that says what happened, and frames whose captions leave their boxes
// inside.
#include "support/machine.h"
#include "ui/classic_controls.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace qni;
using namespace qni::test;

namespace {

// Shown on the described XP machine without network services, whose commands
// write nothing.
struct Window {
    Window() : w(withOutput(machinePlatform("xp-sp3.json", {{"localAddress", nullptr}, {"publicPage", nullptr}}), ""))
    {
        w.setEndProgram([] {}), w.setMessageHandler([](const QString&) {});
        w.show(), QApplication::setActiveWindow(&w), QApplication::processEvents();
    }
    QWidget* find(const QString& name) { return w.findChild<QWidget*>(name); }
    std::size_t runs() const { return static_cast<const ScriptedProcesses&>(*w.platform().processes).commandLines.size(); }
    FrmMain w;
};

TEST(MainWindow, AFixedLayoutInTheProgramsFontsAndIcon)
{
    Window t;
    EXPECT_EQ(t.w.centralWidget()->size(), QSize(474, 420));
    t.w.resize(1200, 900); // moves nothing
    QApplication::processEvents();
    for (const auto& [name, place] : {std::pair{"cmdGet", QRect(376, 16, 89, 25)}, {"lblStatus", QRect(0, 400, 473, 20)},
                                      {"IPInfo", QRect(8, 272, 361, 121)}, {"txtMac", QRect(128, 96, 225, 19)}})
        EXPECT_EQ(t.find(name)->geometry(), place) << name;
    // The labels in window order carry the captions that the report uses.
    for (size_t i = 0; i < kFacts.size(); ++i) {
        const QWidget* label = t.find(QStringLiteral("Label%1").arg(i + 1));
        EXPECT_EQ(qobject_cast<const QLabel*>(label)->text() + label->font().family(), QString::fromUtf16(kFacts[i].caption) + "Arial");
        EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 9.75);
    }
    EXPECT_DOUBLE_EQ(t.find("txtMac")->font().pointSizeF(), 8.25);
    // Arial resolves to a metric-compatible face, so captions fit their labels.
    EXPECT_TRUE(QStringList({"Arial", "Liberation Sans"}).contains(QFontInfo(t.find("Label1")->font()).family()));
    const QPalette status = t.find("lblStatus")->palette();
    EXPECT_TRUE(t.find("lblStatus")->font().bold());
    EXPECT_EQ(status.color(QPalette::Window).name() + status.color(QPalette::WindowText).name(), "#000000#ffffff");
    EXPECT_EQ(t.w.windowIcon().availableSizes(), QList<QSize>{QSize(32, 32)});
}

TEST(MainWindow, FocusMovesTopToBottomAndHiddenControlsTakeNone)
{
    Window t;
    EXPECT_EQ(QApplication::focusWidget(), t.find("txtOS"));
    for (const char* next : {"txtOSSerial", "txtVersion", "cmdGet", "txtMemory", "txtCPU", "txtCPUSpeed", "txtNETIP",
                             "txtINTIP", "txtMask", "txtMac"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), t.find(next)) << next;
    }
    for (const char* name : {"txtOutput", "txtIP", "txtTotal", "lblIPConfig", "ReadOutput1", "sOCk", "Inet1"})
        EXPECT_TRUE(!t.find(name)->isVisible() && t.find(name)->focusPolicy() == Qt::NoFocus) << name;
    t.find("ReadOutput1")->resize(200, 10); // the runner's face keeps its icon's size
    EXPECT_EQ(t.find("ReadOutput1")->size(), QSize(65, 49));
    EXPECT_EQ(t.w.menuBar()->findChild<QMenu*>("mnuHelp")->actions().value(0)->objectName(), "mnuAbout");
}

TEST(MainWindow, BoxesGiveBackWhatWasWrittenOrTypedAndClosingEndsTheProgram)
{
    Window t;
    const QString text = QStringLiteral("a\r\n") + QString(40000, u'x');
    for (const char* name : {"txtOSSerial", "txtOutput", "txtOS"}) {
        auto* box = dynamic_cast<TextSlot*>(t.find(name));
        box->set(fromQt(text));
        box->append(u"\r\n");
        EXPECT_EQ(toQt(box->get()), text + "\r\n") << name;
    }
    EXPECT_EQ(qobject_cast<QLineEdit*>(t.find("txtOSSerial"))->text().size(), 40005); // past QLineEdit's usual limit
    EXPECT_TRUE(qobject_cast<QPlainTextEdit*>(t.find("txtOS"))->toPlainText().startsWith("a\nx"));
    t.find("txtMask")->setFocus();
    QTest::keyClicks(t.find("txtMask"), QStringLiteral("typed"));
    EXPECT_EQ(t.w.boxes().txtMask.get(), u"typed");
}

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
    EXPECT_EQ(status->text() + '|' + status->toolTip(), toQt(kGatheredWithErrors + u'|' + failureList(win.w.lastOutcome())));
    EXPECT_TRUE(status->toolTip().startsWith(QStringLiteral("Network Address: the local address could not be read")));
    EXPECT_EQ(win.w.boxes().txtMemory.get(), u"512 MB Chip\r\n512 MB Chip\r\n");

    // Space and Enter press the button that has the focus, and Enter
    // elsewhere does not: the button is not the window's default.
    const std::tuple<const char*, Qt::Key, int> presses[] = {{"cmdGet", Qt::Key_Space, 2}, {"cmdGet", Qt::Key_Return, 3},
        {"cmdGet", Qt::Key_Enter, 4}, {"txtOSSerial", Qt::Key_Return, 4}, {"txtCPU", Qt::Key_Enter, 4}};
    for (const auto& [focus, key, runs] : presses) {
        win.find(focus)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_EQ(win.runs(), runs) << focus << ' ' << key;
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
        const QRgb line = frame->palette().color(QPalette::Dark).rgb(), ground = frame->palette().color(QPalette::Window).rgb();
        EXPECT_TRUE(drawn.pixel(frame->width() / 2, border) == line && drawn.pixel(0, frame->height() / 2) == line);
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

} // namespace
