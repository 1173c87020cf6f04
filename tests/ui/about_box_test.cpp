#include "platform/host/host_platform.h"
#include "platform/shell.h"
#include "support/fake_platform.h"
#include "support/qt_printers.h"
#include "ui/about_box.h"
#include "ui/app_metadata.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

using namespace qni;

namespace {

class RecordingShell final : public Shell {
public:
    QStringList opened;
    void open(const QString& address) override { opened << address; }
};

// Stands in for the desktop's browser through Qt's URL-handler hook.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

const QColor kBlue(0, 0, 255);

QList<QWidget*> openAboutBoxes()
{
    QList<QWidget*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("frmAbout") && w->isVisible())
            boxes << w;
    return boxes;
}

Platform withShell(std::shared_ptr<Shell> shell)
{
    Platform p = test::FakePlatform().platform();
    p.shell = std::move(shell);
    return p;
}

template <class W = QLabel>
W* child(QWidget* box, const char* name) { return box->findChild<W*>(QLatin1String(name)); }

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override { writePointer(shipped); }
    void TearDown() override
    {
        for (QWidget* w : openAboutBoxes())
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    AboutBox* open() { return showAboutBox(withShell(shell), folder.path()); }
    void writePointer(const QByteArray& bytes)
    {
        QFile f(folder.filePath(QStringLiteral("Hand.cur")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    std::shared_ptr<RecordingShell> shell = std::make_shared<RecordingShell>();
    QTemporaryDir folder; // the program's folder
    QByteArray shipped = [] {
        QFile f(QStringLiteral(QNI_UI_RESOURCES "/Hand.cur"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
};

TEST_F(AboutBoxTest, ControlsAreLaidOutCaptionedAndStyledAsDesigned)
{
    struct Control {
        const char* name;
        QString caption;
        int left, top, width, height; // twips
        Qt::Alignment horizontal;
    };
    const Control controls[] = {
        {"lblAbout", QStringLiteral("Quarn Network Information"), 240, 120, 3375, 375, Qt::AlignLeft},
        {"Label1", QStringLiteral("For Windows!"), 2640, 480, 1575, 375, Qt::AlignRight},
        {"Label2", QStringLiteral("Version: 1.0.0"), 240, 840, 1455, 375, Qt::AlignLeft},
        {"Label3", QStringLiteral("Developed By: Korvane"), 240, 1200, 3615, 375, Qt::AlignLeft},
        {"Label4", kMakerAddress, 240, 1920, 3975, 375, Qt::AlignLeft},
        {"cmdOK", QStringLiteral("OK"), 3000, 2400, 1215, 375, Qt::AlignHCenter},
    };
    AboutBox* box = open();
    for (const Control& c : controls) {
        SCOPED_TRACE(c.name);
        QWidget* w = child<QWidget>(box, c.name);
        ASSERT_NE(w, nullptr);
        const bool link = qstrcmp(c.name, "Label4") == 0;
        auto* label = qobject_cast<QLabel*>(w);
        const QString text = label ? label->text() : qobject_cast<QPushButton*>(w)->text();
        EXPECT_EQ(text, c.caption);
        EXPECT_EQ(w->geometry(), QRect(c.left / 15, c.top / 15, c.width / 15, c.height / 15));
        EXPECT_EQ(label ? label->alignment() & Qt::AlignHorizontal_Mask : Qt::AlignHCenter, c.horizontal);
        const QFontInfo font(w->font());
        EXPECT_EQ(font.pointSize(), 12);
        EXPECT_FALSE(font.bold() || font.italic() || font.fixedPitch()) << font.family().toStdString();
        EXPECT_LT(QFontMetrics(w->font()).tightBoundingRect(text).right(), w->width()) << "caption clipped";
        EXPECT_EQ(w->focusPolicy() != Qt::NoFocus, qstrcmp(c.name, "cmdOK") == 0);
        EXPECT_EQ(w->font().underline(), link);
        EXPECT_EQ(w->palette().color(QPalette::Inactive, QPalette::WindowText) == kBlue, link);
        EXPECT_EQ(w->cursor().shape(), link ? Qt::BitmapCursor : Qt::ArrowCursor);
    }
    EXPECT_EQ(child(box, "Label4")->cursor().hotSpot(), QPoint(9, 0));
    // What is drawn: a pure blue underline under most of the address.
    const QImage drawn = child(box, "Label4")->grab().toImage();
    int longest = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0, run = 0; x < drawn.width(); ++x)
            longest = std::max(longest, run = drawn.pixelColor(x, y) == kBlue ? run + 1 : 0);
    EXPECT_GE(longest, QFontMetrics(box->font()).horizontalAdvance(kMakerAddress) * 3 / 4);
}

TEST_F(AboutBoxTest, IsAFixedModelessToolWindowWithoutIconCentredWithTheFocusOnOK)
{
    QApplication::setWindowIcon(applicationIcon()); // the box must not take it
    AboutBox* box = open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(box));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(box->size(), QSize(291, 198));
    EXPECT_EQ(box->minimumSize(), box->maximumSize());
    EXPECT_EQ(box->windowFlags() & (Qt::WindowType_Mask | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
              Qt::Tool | Qt::WindowCloseButtonHint);
    EXPECT_TRUE(!box->parentWidget() && !box->isModal() && box->windowIcon().isNull());
    EXPECT_FALSE(box->testAttribute(Qt::WA_QuitOnClose));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((box->frameGeometry().center() - screen.center()).manhattanLength(), 1);
    EXPECT_EQ(QApplication::focusWidget(), child<QPushButton>(box, "cmdOK"));
    QApplication::setWindowIcon(QIcon());
}

TEST_F(AboutBoxTest, EachClickOnTheLinkOpensTheAddressOnceAndNothingElseDoes)
{
    const std::tuple<const char*, std::function<void(QLabel*)>, int> gestures[] = {
        {"three clicks", [](QLabel* l) { for (int i = 0; i < 3; ++i) QTest::mouseClick(l, Qt::LeftButton); }, 3},
        {"double click", [](QLabel* l) { // press, release, double click, release: as the window system sends it
             QTest::mouseClick(l, Qt::LeftButton);
             QTest::mouseDClick(l, Qt::LeftButton);
             QTest::mouseRelease(l, Qt::LeftButton);
         }, 1},
        {"right click", [](QLabel* l) { QTest::mouseClick(l, Qt::RightButton); }, 0},
        {"released outside", [](QLabel* l) {
             QTest::mousePress(l, Qt::LeftButton);
             QTest::mouseRelease(l, Qt::LeftButton, {}, QPoint(-5, -5));
         }, 0},
    };
    for (const auto& [name, gesture, opens] : gestures) {
        SCOPED_TRACE(name);
        shell->opened.clear();
        AboutBox* box = open();
        gesture(child(box, "Label4"));
        EXPECT_EQ(shell->opened, QStringList(opens, kMakerAddress));
        EXPECT_EQ(openAboutBoxes(), QList<QWidget*>{box});
    }
}

TEST_F(AboutBoxTest, EscapeDoesNothingEnterPressesTheFocusedOK)
{
    AboutBox* box = open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(box));
    for (QWidget* target : {static_cast<QWidget*>(box), static_cast<QWidget*>(child<QPushButton>(box, "cmdOK"))})
        QTest::keyClick(target, Qt::Key_Escape);
    QTest::keyClick(box, Qt::Key_Return);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(open(), box);
    EXPECT_EQ(openAboutBoxes(), QList<QWidget*>{box});
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(openAboutBoxes().isEmpty());
    EXPECT_TRUE(shell->opened.isEmpty());
}

// Each opening loads a new box that reads Hand.cur again; a pointer file that
// is missing or unusable leaves the desktop's hand and changes nothing else.
TEST_F(AboutBoxTest, ClosingUnloadsAndEachOpeningReadsThePointerFileAfresh)
{
    const std::tuple<const char*, QByteArray, Qt::CursorShape> pointers[] = {
        {"missing", {}, Qt::PointingHandCursor},
        {"shipped", shipped, Qt::BitmapCursor},
        {"truncated", shipped.left(shipped.size() / 2), Qt::PointingHandCursor},
        {"garbage", QByteArray(300, '\x5a'), Qt::PointingHandCursor},
        {"shipped again", shipped, Qt::BitmapCursor},
    };
    bool byOK = true;
    for (const auto& [name, bytes, shape] : pointers) {
        SCOPED_TRACE(name);
        if (bytes.isEmpty())
            QFile::remove(folder.filePath(QStringLiteral("Hand.cur")));
        else
            writePointer(bytes);
        QPointer<AboutBox> box = open();
        QLabel* link = child(box, "Label4");
        EXPECT_EQ(link->cursor().shape(), shape);
        EXPECT_TRUE(link->font().underline());
        EXPECT_EQ(link->palette().color(QPalette::WindowText), kBlue);
        shell->opened.clear();
        QTest::mouseClick(link, Qt::LeftButton);
        EXPECT_EQ(shell->opened, QStringList{kMakerAddress});

        if (byOK)
            QTest::mouseClick(child<QPushButton>(box, "cmdOK"), Qt::LeftButton);
        else
            box->close(); // the close box
        byOK = !byOK;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(box.isNull());
    }
}

TEST_F(AboutBoxTest, TheHostShellHandsTheAddressToTheDesktopOncePerClick)
{
    UrlRecorder browser;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "open");
    AboutBox* box = showAboutBox(withShell(makeHostShell()), folder.path());
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(child(box, "Label4"), Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    EXPECT_EQ(browser.urls, QList<QUrl>(3, QUrl(kMakerAddress)));
}

} // namespace

#include "about_box_test.moc"
