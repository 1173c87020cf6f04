// SPDX-License-Identifier: MIT
#include "support/files.h"
#include "support/machine.h"
#include "ui/about_box.h"
#include "ui/app_metadata.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace qni;
using namespace qni::test;

namespace {

QByteArray shippedPointer()
{
    QFile f(QStringLiteral(QNI_UI_RESOURCES "/Hand.cur"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Opens the box from a program folder whose Hand.cur holds `pointer`; its link.
QLabel* openBox(const std::shared_ptr<Shell>& shell, const QByteArray& pointer = shippedPointer())
{
    static QTemporaryDir folder;
    writeFile(folder.filePath(QStringLiteral("Hand.cur")), pointer);
    Platform platform = describedPlatform(Json::object());
    platform.shell = shell;
    return showAboutBox(platform, folder.path())->findChild<QLabel*>(QStringLiteral("Label4"));
}

void unload(QWidget* box) { box->close(), QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

TEST(AboutBox, EachClickOnTheLinkOpensTheMakersPageOnceAndOnlyOkUnloadsTheBox)
{
    const auto shell = std::make_shared<RecordingShell>();
    QLabel* link = openBox(shell);
    const QPointer<QWidget> box = link->window();
    EXPECT_EQ(link->text(), kMakerAddress);
    QTest::mouseClick(link, Qt::LeftButton), QTest::mouseClick(link, Qt::LeftButton);
    QTest::mouseClick(link, Qt::LeftButton), QTest::mouseDClick(link, Qt::LeftButton); // as the window system sends it
    QTest::mouseRelease(link, Qt::LeftButton), QTest::mouseClick(link, Qt::RightButton);
    QTest::mousePress(link, Qt::LeftButton), QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(-5, -5)); // outside
    EXPECT_EQ(shell->opened, std::vector<Text>(3, fromQt(kMakerAddress)));
    EXPECT_EQ(openBox(shell)->window(), box); // never a second box
    EXPECT_TRUE(box->windowFlags().testFlag(Qt::Tool) && !box->parentWidget() && !box->isModal());
    // Escape does nothing; Enter presses OK, which has the focus.
    QTest::keyClick(box->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(box.isNull());
    QTest::keyClick(box->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::Key_Return);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(box.isNull());
}

// Each opening reads Hand.cur again; a file without a usable pointer leaves
// the desktop's pointing hand.
TEST(AboutBox, TheLinkWearsThePointerOfHandCur)
{
    for (const auto& [bytes, shape] : {std::pair{shippedPointer(), Qt::BitmapCursor},
                                       {shippedPointer().chopped(100), Qt::PointingHandCursor}, {QByteArray(), Qt::PointingHandCursor}}) {
        const QLabel* link = openBox(std::make_shared<RecordingShell>(), bytes);
        EXPECT_EQ(link->cursor().shape(), shape);
        EXPECT_TRUE(shape != Qt::BitmapCursor || link->cursor().hotSpot() == QPoint(9, 0)); // the fingertip
        EXPECT_TRUE(link->font().underline() && link->palette().color(QPalette::WindowText) == QColor(0, 0, 255));
        unload(link->window());
    }
}

} // namespace
