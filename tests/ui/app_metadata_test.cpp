#include "support/qt_printers.h"
#include "ui/app_metadata.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QRegularExpression>
#include <QSettings>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace qni;

namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString xmlElement(const QString& xml, const QString& pattern)
{
    return QRegularExpression(pattern).match(xml).captured(1).simplified();
}

TEST(AppMetadata, TheIconIsOne32By32PictureIn256Colours)
{
    applyApplicationMetadata(*QCoreApplication::instance()); // registers the resources
    const QByteArray ico = readFile(QStringLiteral(":/icons/app.ico"));
    ASSERT_GE(ico.size(), 22 + 40);
    EXPECT_EQ(qFromLittleEndian<quint16>(ico.constData() + 2), 1); // an icon
    EXPECT_EQ(qFromLittleEndian<quint16>(ico.constData() + 4), 1); // one picture
    EXPECT_EQ(qFromLittleEndian<quint16>(ico.constData() + 22 + 14), 8); // 8 bits a pixel
    EXPECT_EQ(applicationIcon().availableSizes(), QList<QSize>{QSize(32, 32)});
    for (int size : {32, 48, 64, 128, 256})
        EXPECT_EQ(QImageReader(QStringLiteral(QNI_UI_RESOURCES "/icons/%1.png").arg(size)).size(), QSize(size, size));
}

TEST(AppMetadata, DesktopEntryAndAppStreamMetadataSayWhatTheProgramSays)
{
    const QString base = QStringLiteral(QNI_PACKAGING "/") + kDesktopId;
    QSettings entry(base + QStringLiteral(".desktop"), QSettings::IniFormat);
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    EXPECT_EQ(entry.value(QStringLiteral("Name")).toString(), kApplicationName);
    EXPECT_EQ(entry.value(QStringLiteral("Icon")).toString(), kDesktopId);

    const QString xml = QString::fromUtf8(readFile(base + QStringLiteral(".metainfo.xml")));
    ASSERT_FALSE(xml.isEmpty());
    EXPECT_EQ(xmlElement(xml, QStringLiteral("<id>([^<]*)</id>")), kDesktopId);
    EXPECT_EQ(xmlElement(xml, QStringLiteral("<name>([^<]*)</name>")), kApplicationName);
    EXPECT_EQ(xmlElement(xml, QStringLiteral("<release version=\"([^\"]*)\"")), kApplicationVersion);
    EXPECT_EQ(xmlElement(xml, QStringLiteral("<url type=\"homepage\">([^<]*)</url>")), kMakerAddress);
    EXPECT_EQ(xmlElement(xml, QStringLiteral("<description>\\s*<p>([^<]*)</p>")), kApplicationDescription);
}

} // namespace
