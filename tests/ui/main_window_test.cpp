// SPDX-License-Identifier: MIT
#include "app/facts.h"
#include "support/machine.h"
#include "support/window.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace qni;
using namespace qni::test;

namespace {

struct Window : TestWindow {
    Window() : TestWindow(describedPlatform({})) { w.show(), QApplication::setActiveWindow(&w), QApplication::processEvents(); }
    QWidget* find(const QString& name) { return w.findChild<QWidget*>(name); }
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
        EXPECT_EQ(qobject_cast<const QLabel*>(label)->text() + label->font().family(), QLatin1String(kFacts[i].caption) + "Arial");
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
    EXPECT_EQ(t.w.menuBar()->findChild<QMenu*>("mnuHelp")->actions().value(0)->objectName(), "mnuAbout");
}

TEST(MainWindow, BoxesGiveBackWhatWasWrittenOrTypedAndClosingEndsTheProgram)
{
    Window t;
    const QString text = QStringLiteral("a\r\n") + QString(40000, u'x');
    for (const char* name : {"txtOSSerial", "txtOutput", "txtOS"}) {
        auto* box = dynamic_cast<TextSlot*>(t.find(name));
        box->set(text);
        box->append(QStringLiteral("\r\n"));
        EXPECT_EQ(box->get(), text + "\r\n") << name;
    }
    EXPECT_EQ(qobject_cast<QLineEdit*>(t.find("txtOSSerial"))->text().size(), 40005); // past QLineEdit's usual limit
    EXPECT_TRUE(qobject_cast<QPlainTextEdit*>(t.find("txtOS"))->toPlainText().startsWith("a\nx"));
    t.find("txtMask")->setFocus();
    QTest::keyClicks(t.find("txtMask"), QStringLiteral("typed"));
    EXPECT_EQ(t.boxes().txtMask.get(), "typed");
    int ended = 0;
    t.w.setEndProgram([&] { ++ended; });
    t.w.close();
    EXPECT_EQ(ended, 1);
}

} // namespace
