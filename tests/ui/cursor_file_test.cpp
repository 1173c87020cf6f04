#include "ui/cursor_file.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include <sys/stat.h>

using namespace qni;

namespace {

QByteArray shippedPointer()
{
    QFile f(QStringLiteral(QNI_UI_RESOURCES "/Hand.cur"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put16(QByteArray& b, int at, quint16 v) { qToLittleEndian(v, b.data() + at); }
void put32(QByteArray& b, int at, quint32 v) { qToLittleEndian(v, b.data() + at); }

TEST(CursorFile, TheShippedHandHasItsHotSpotOnTheFingertipAsItsEntrySays)
{
    QByteArray bytes = shippedPointer();
    const std::optional<CursorPicture> hand = parseCursorFile(bytes);
    ASSERT_TRUE(hand);
    EXPECT_EQ(hand->image.size(), QSize(32, 32));
    EXPECT_EQ(hand->hotSpot, QPoint(9, 0));
    EXPECT_EQ(qAlpha(hand->image.pixel(hand->hotSpot)), 255); // on the drawn outline
    EXPECT_EQ(qAlpha(hand->image.pixel(31, 31)), 0);          // the mask keeps the corner clear

    put16(bytes, 10, 20);
    put16(bytes, 12, 7);
    EXPECT_EQ(parseCursorFile(bytes).value_or(CursorPicture{}).hotSpot, QPoint(20, 7));
}

TEST(CursorFile, MalformedFilesAreRefused)
{
    const QByteArray good = shippedPointer();
    ASSERT_FALSE(good.isEmpty());
    const std::pair<const char*, std::function<void(QByteArray&)>> faults[] = {
        {"empty", [](QByteArray& b) { b.clear(); }},
        {"directory only", [](QByteArray& b) { b.truncate(6); }},
        {"reserved field set", [](QByteArray& b) { put16(b, 0, 1); }},
        {"an icon", [](QByteArray& b) { put16(b, 2, 1); }},
        {"unknown type", [](QByteArray& b) { put16(b, 2, 3); }},
        {"no pictures", [](QByteArray& b) { put16(b, 4, 0); }},
        {"more entries than the file holds", [](QByteArray& b) { put16(b, 4, 40); }},
        {"empty picture", [](QByteArray& b) { put32(b, 14, 0); }},
        {"picture inside the directory", [](QByteArray& b) { put32(b, 18, 6); }},
        {"picture past the end", [](QByteArray& b) { put32(b, 18, 0xFFFFFFF0u); }},
        {"picture longer than the file", [](QByteArray& b) { put32(b, 14, 0xFFFFFFFFu); }},
        {"zero width", [](QByteArray& b) { put32(b, 22 + 4, 0); }},
        {"huge picture", [](QByteArray& b) { put32(b, 22 + 4, 60000); put32(b, 22 + 8, 120000); }},
        {"short bitmap header", [](QByteArray& b) { put32(b, 22, 12); }},
        {"hot spot right of the picture", [](QByteArray& b) { put16(b, 10, 32); }},
        {"hot spot below the picture", [](QByteArray& b) { put16(b, 12, 500); }},
        {"noise", [](QByteArray& b) { b.fill('\xA5'); }},
    };
    for (const auto& [name, spoil] : faults) {
        QByteArray bytes = good;
        spoil(bytes);
        EXPECT_FALSE(parseCursorFile(bytes)) << name;
    }
    for (int n = 0; n < good.size(); ++n)
        EXPECT_FALSE(parseCursorFile(good.left(n))) << "truncated to " << n;
}

TEST(CursorFile, DamagedBytesNeverCrashOrYieldAnUnusablePointer)
{
    const QByteArray good = shippedPointer();
    std::mt19937 random(20261206);
    for (int round = 0; round < 5000; ++round) {
        QByteArray bytes = good;
        const int flips = 1 + int(random() % 6);
        for (int i = 0; i < flips; ++i) // mostly in the headers, where the lengths are
            bytes[int(random() % (random() % 4 ? 80 : bytes.size()))] = char(random());
        // Whatever is accepted must be safe to make a pointer of.
        if (const std::optional<CursorPicture> p = parseCursorFile(bytes)) {
            EXPECT_LE(std::max(p->image.width(), p->image.height()), 256);
            EXPECT_TRUE(p->image.rect().contains(p->hotSpot));
        }
    }
}

TEST(CursorFile, FilesThatAreNotPlainCursorsGiveThePointingHand)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.cur"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString big = dir.filePath(QStringLiteral("big.cur"));
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(shippedPointer());
        f.resize(8 << 20);
    }
    // A pipe nobody writes to must not hang the box's loading.
    for (const QString& path : {dir.filePath(QStringLiteral("missing.cur")), dir.path(), fifo, big}) {
        EXPECT_FALSE(readCursorFile(path)) << path.toStdString();
        EXPECT_EQ(loadPointer(path).shape(), Qt::PointingHandCursor) << path.toStdString();
    }
    const QCursor hand = loadPointer(QStringLiteral(QNI_UI_RESOURCES "/Hand.cur"));
    EXPECT_EQ(hand.shape(), Qt::BitmapCursor);
    EXPECT_EQ(hand.hotSpot(), QPoint(9, 0));
}

} // namespace

namespace {

// A one-entry cursor file around a PNG picture.
QByteArray pngCursor(const QImage& picture)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    QByteArray file(22, '\0');
    put16(file, 2, 2);
    put16(file, 4, 1);
    file[6] = char(picture.width() & 0xFF);
    file[7] = char(picture.height() & 0xFF);
    put16(file, 10, 3);
    put16(file, 12, 4);
    put32(file, 14, quint32(png.size()));
    put32(file, 18, 22);
    return file + png;
}

} // namespace

TEST(CursorFile, PngPicturesAreSizeCheckedBeforeDecoding)
{
    QImage small(32, 32, QImage::Format_ARGB32);
    small.fill(Qt::black);
    const auto cursor = parseCursorFile(pngCursor(small));
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor->image.size(), QSize(32, 32));
    EXPECT_EQ(cursor->hotSpot, QPoint(3, 4));

    // A small file whose header claims a picture of 5790 x 5790 pixels.
    QByteArray huge = pngCursor(small);
    qToBigEndian<quint32>(5790, huge.data() + 22 + 16);
    qToBigEndian<quint32>(5790, huge.data() + 22 + 20);
    EXPECT_FALSE(parseCursorFile(huge));
    EXPECT_FALSE(parseCursorFile(huge.left(22 + 20))); // header cut short
}
