#include "platform/registry.h"
#include "support/fake_platform.h"
#include "ui/main_window.h"
#include "ui/text_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace qni;
using qni::test::FakePlatform;

namespace {

struct Placement {
    const char* name;
    const char* parent; // frame name, or "client"
    int left, top, width, height; // twips
};

const Placement kPlacements[] = {
    {"OS", "client", 120, 120, 5415, 1575},
    {"Memory", "client", 120, 1800, 5415, 880},
    {"Processor", "client", 120, 2760, 5415, 1215},
    {"IPInfo", "client", 120, 4080, 5415, 1815},
    {"Label1", "OS", 120, 360, 1935, 255},
    {"txtOS", "OS", 1920, 360, 3375, 285},
    {"Label2", "OS", 120, 720, 1335, 255},
    {"txtOSSerial", "OS", 1920, 720, 3375, 285},
    {"Label3", "OS", 120, 1080, 1215, 255},
    {"txtVersion", "OS", 1920, 1080, 3375, 285},
    {"Label4", "Memory", 120, 360, 1335, 255},
    {"txtMemory", "Memory", 1920, 240, 3375, 530},
    {"Label5", "Processor", 120, 360, 495, 255},
    {"txtCPU", "Processor", 1920, 360, 3375, 285},
    {"Label6", "Processor", 120, 720, 1455, 255},
    {"txtCPUSpeed", "Processor", 1920, 720, 3375, 285},
    {"Label7", "IPInfo", 120, 360, 1575, 255},
    {"txtNETIP", "IPInfo", 1920, 360, 3375, 285},
    {"Label8", "IPInfo", 120, 720, 1575, 255},
    {"txtINTIP", "IPInfo", 1920, 720, 3375, 285},
    {"Label9", "IPInfo", 120, 1080, 1215, 255},
    {"txtMask", "IPInfo", 1920, 1080, 3375, 285},
    {"Label10", "IPInfo", 120, 1440, 1335, 255},
    {"txtMac", "IPInfo", 1920, 1440, 3375, 285},
    {"cmdGet", "client", 5640, 240, 1335, 375},
    {"lblStatus", "client", 0, 6000, 7095, 300},
    {"txtOutput", "client", 5640, 4200, 1335, 735},
    {"txtIP", "client", 5640, 1800, 1095, 285},
    {"txtTotal", "client", 5640, 960, 1215, 285},
    {"lblIPConfig", "client", 5760, 3720, 1095, 255},
};

int px(int twips) { return (twips + 7) / 15; }

struct Window {
    FakePlatform fake = FakePlatform::windowsXp();
    FrmMain w{fake.platform()};
    QStringList messages;
    Window()
    {
        w.setMessageHandler([this](const QString& m) { messages << m; });
        w.setEndProgram([] {});
    }
    template <class T = QWidget>
    T* find(const char* name) { return w.findChild<T*>(QLatin1String(name)); }
};

} // namespace

TEST(MainWindow, EveryControlSitsWhereTheLayoutSays)
{
    Window win;
    win.w.show();
    for (const Placement& p : kPlacements) {
        SCOPED_TRACE(p.name);
        QWidget* widget = win.find(p.name);
        ASSERT_NE(widget, nullptr);
        ASSERT_NE(widget->parentWidget(), nullptr);
        EXPECT_EQ(widget->parentWidget()->objectName(), QLatin1String(p.parent));
        EXPECT_EQ(widget->geometry(), QRect(px(p.left), px(p.top), px(p.width), px(p.height)));
    }
    EXPECT_EQ(win.w.centralWidget()->size(), QSize(474, 420));
    EXPECT_EQ(win.w.windowTitle(), QStringLiteral("Quarn Network Information"));
}

TEST(MainWindow, CaptionsFontsAndTheStatusBar)
{
    Window win;
    const struct {
        const char* name;
        const char* caption;
    } captions[] = {{"Label1", "Operating System:"}, {"Label2", "Serial Number:"}, {"Label3", "OS Version:"},
                    {"Label4", "Memory Chips:"},     {"Label5", "CPU:"},           {"Label6", "Clocked Speed:"},
                    {"Label7", "Network Address:"},  {"Label8", "Internet Address:"},
                    {"Label9", "Subnet Mask:"},      {"Label10", "Mac Address:"},  {"lblIPConfig", "ipconfig /all"}};
    for (const auto& c : captions) {
        EXPECT_EQ(win.find<QLabel>(c.name)->text(), QLatin1String(c.caption)) << c.name;
        if (QLatin1String(c.name) != QLatin1String("lblIPConfig")) {
            EXPECT_EQ(win.find(c.name)->font().family(), QStringLiteral("Arial")) << c.name;
            EXPECT_DOUBLE_EQ(win.find(c.name)->font().pointSizeF(), 9.75) << c.name;
        }
    }
    EXPECT_EQ(win.find<QGroupBox>("OS")->title(), QStringLiteral("OS Information"));
    EXPECT_EQ(win.find<QGroupBox>("Memory")->title(), QStringLiteral("RAM Information"));
    EXPECT_EQ(win.find<QGroupBox>("Processor")->title(), QStringLiteral("Processor Information"));
    EXPECT_EQ(win.find<QGroupBox>("IPInfo")->title(), QStringLiteral("IP Information"));
    EXPECT_EQ(win.find<QPushButton>("cmdGet")->text(), QStringLiteral("Gather Info"));
    EXPECT_DOUBLE_EQ(win.find("txtMac")->font().pointSizeF(), 8.25);
    // Arial resolves to a metric-compatible face, so captions fit their labels.
    const QString face = QFontInfo(win.find("Label1")->font()).family();
    EXPECT_TRUE(face == QLatin1String("Arial") || face == QLatin1String("Liberation Sans")) << face.toStdString();

    auto* status = win.find<QLabel>("lblStatus");
    EXPECT_EQ(status->text(), QString());
    EXPECT_TRUE(status->font().bold());
    EXPECT_TRUE(status->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(status->autoFillBackground());
    EXPECT_EQ(status->palette().color(QPalette::Window), QColor(0, 0, 0));
    EXPECT_EQ(status->palette().color(QPalette::WindowText), QColor(255, 255, 255));

    auto* button = win.find<QPushButton>("cmdGet");
    EXPECT_FALSE(button->isDefault());
    EXPECT_FALSE(button->autoDefault());
}

TEST(MainWindow, BordersMenuFocusAndHiddenControls)
{
    Window win;
    const Qt::WindowFlags flags = win.w.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);

    const QList<QMenu*> menus = win.w.menuBar()->findChildren<QMenu*>(QStringLiteral("mnuHelp"));
    ASSERT_EQ(menus.size(), 1);
    ASSERT_EQ(menus.front()->actions().size(), 1);
    EXPECT_EQ(menus.front()->actions().front()->objectName(), QStringLiteral("mnuAbout"));

    win.w.show();
    QApplication::setActiveWindow(&win.w);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), win.find("txtOS"));

    const char* order[] = {"txtOS",  "txtOSSerial", "txtVersion", "cmdGet",  "txtMemory", "txtCPU",
                           "txtCPUSpeed", "txtNETIP", "txtINTIP",  "txtMask", "txtMac"};
    // Tab walks the boxes in this order (a multi-line box passes Tab on too).
    for (size_t i = 0; i + 1 < std::size(order); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), win.find(order[i + 1])) << "after " << order[i];
    }
    EXPECT_EQ(win.find<QPlainTextEdit>("txtOS")->toPlainText(), QString());

    win.w.resize(1200, 900);
    QApplication::processEvents();
    for (const char* name : {"txtOutput", "txtIP", "txtTotal", "lblIPConfig", "sOCk", "Inet1"}) {
        EXPECT_FALSE(win.find(name)->isVisible()) << name;
        EXPECT_EQ(win.find(name)->focusPolicy(), Qt::NoFocus) << name;
    }
    // Resizing moves nothing.
    EXPECT_EQ(win.find("lblStatus")->geometry(), QRect(0, 400, 473, 20));
    EXPECT_EQ(win.find("cmdGet")->geometry(), QRect(376, 16, 89, 25));
}

TEST(MainWindow, BoxesKeepWhatWasAssigned)
{
    Window win;
    win.w.show();
    const QString longText(40000, QLatin1Char('x'));
    for (const char* name : {"txtOSSerial", "txtOutput", "txtOS", "txtIP"}) {
        auto* slot = dynamic_cast<TextSlot*>(win.find(name));
        ASSERT_NE(slot, nullptr) << name;
        slot->set(QStringLiteral("a\r\nb"));
        EXPECT_EQ(slot->get(), QStringLiteral("a\r\nb")) << name;
        slot->set(longText);
        EXPECT_EQ(slot->get().size(), 40000) << name;
        slot->append(QStringLiteral("\r\n"));
        EXPECT_EQ(slot->get(), longText + QStringLiteral("\r\n")) << name;
    }
    // The single-line boxes show even past QLineEdit's usual 32767 limit.
    EXPECT_EQ(win.find<QLineEdit>("txtOSSerial")->text().size(), 40002);
    // The multi-line OS box shows CR LF as a line break.
    win.find<MultiTextBox>("txtOS")->set(QStringLiteral("a\r\nb"));
    EXPECT_EQ(win.find<QPlainTextEdit>("txtOS")->toPlainText(), QStringLiteral("a\nb"));
    EXPECT_EQ(win.find<QPlainTextEdit>("txtMemory")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_NE(win.find<QPlainTextEdit>("txtOS")->lineWrapMode(), QPlainTextEdit::NoWrap);
}

TEST(MainWindow, TypedTextStaysUntilTheNextGather)
{
    Window win;
    win.w.show();
    QApplication::setActiveWindow(&win.w);
    auto* mask = win.find<LineTextBox>("txtMask");
    mask->setFocus();
    QTest::keyClicks(mask, QStringLiteral("typed"));
    EXPECT_EQ(mask->get(), QStringLiteral("typed"));
    QTest::mouseClick(win.find("cmdGet"), Qt::LeftButton);
    EXPECT_EQ(mask->get(), QString());
}

TEST(MainWindow, GatherFillsTheFramesFromAClick)
{
    Window win;
    win.w.show();
    QTest::mouseClick(win.find("cmdGet"), Qt::LeftButton);
    auto text = [&](const char* name) { return dynamic_cast<TextSlot*>(win.find(name))->get(); };
    EXPECT_EQ(text("txtOS"), QStringLiteral("Windows Xp Service Pack 3 Build 2600"));
    EXPECT_EQ(text("txtVersion"), QStringLiteral("5.1.2600"));
    EXPECT_EQ(text("txtOSSerial"), QStringLiteral("76487-OEM-0011903-00102"));
    EXPECT_EQ(text("txtMemory"), QStringLiteral("512 MB Chip\r\n"));
    EXPECT_EQ(text("txtTotal"), QStringLiteral("536870912"));
    EXPECT_EQ(text("txtCPU"), QStringLiteral("      Intel(R) Pentium(R) 4 CPU 3.00GHz"));
    EXPECT_EQ(text("txtCPUSpeed"), QStringLiteral("2992 Mhz"));
    // This machine has no network services.
    EXPECT_EQ(text("lblStatus"), QStringLiteral("Information Gathered With Errors!"));
    EXPECT_TRUE(win.messages.isEmpty());
}

TEST(MainWindow, NotXpShowsAModalMessageBoxWithOkOnly)
{
    FakePlatform fake = FakePlatform::windowsXp();
    fake.registry->values[regpath::kBuildLab] = Variant::text(QStringLiteral("6000.vista_rtm"));
    FrmMain w(fake.platform());
    w.setEndProgram([] {});
    w.show();
    QString seenText, seenTitle;
    int buttons = 0;
    bool hadIcon = true;
    // The gather processes events before the gate, so wait for the box to come.
    QTimer poll;
    int boxes = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        ++boxes;
        seenText = box->text();
        seenTitle = box->windowTitle();
        buttons = box->buttons().size();
        hadIcon = box->icon() != QMessageBox::NoIcon;
        box->button(QMessageBox::Ok)->click();
    });
    poll.start(10);
    QTest::mouseClick(w.findChild<QWidget*>(QStringLiteral("cmdGet")), Qt::LeftButton);
    poll.stop();
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(seenText, QStringLiteral("This is not a version of Windows XP!"));
    EXPECT_EQ(seenTitle, QStringLiteral("Quarn Network Information"));
    EXPECT_EQ(buttons, 1);
    EXPECT_FALSE(hadIcon);
    EXPECT_EQ(dynamic_cast<TextSlot*>(w.findChild<QWidget*>(QStringLiteral("txtOS")))->get(),
              QStringLiteral("Not XP!"));
    EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("lblStatus"))->text(),
              QStringLiteral("This is not a version of Windows XP!"));
}

TEST(MainWindow, ClosingEndsTheProgram)
{
    Window win;
    int ended = 0;
    win.w.setEndProgram([&] { ++ended; });
    win.w.show();
    win.w.close();
    EXPECT_EQ(ended, 1);
}
