// SPDX-License-Identifier: MIT
// Cursor (.cur) files: the directory checks and the picture handed to Qt's
// icon decoder.
//
// Qt's decoders are not instrumented, so coverage says nothing once the
// directory is past. Inputs with the low bit of the first byte set therefore
// get a valid one-entry directory made for them (entry fields from the next 8
// bytes, the picture from the rest), which sends most of them to the decoder.

#include "fuzz_qt.h"

#include "ui/cursor_file.h"

#include <QGuiApplication>
#include <QtEndian>

#include <algorithm>

using namespace qni;

namespace {

// A 1 x 1 monochrome cursor: directory, entry, bitmap header, palette, the
// colour row and the mask row.
QByteArray tinyCursor()
{
    QByteArray b(6 + 16 + 40 + 8 + 4 + 4, '\0');
    char* p = b.data();
    qToLittleEndian<quint16>(2, p + 2);
    qToLittleEndian<quint16>(1, p + 4);
    p[6] = 1;
    p[7] = 1;
    qToLittleEndian<quint32>(40 + 8 + 8, p + 6 + 8);
    qToLittleEndian<quint32>(22, p + 6 + 12);
    char* h = p + 22;
    qToLittleEndian<quint32>(40, h);
    qToLittleEndian<qint32>(1, h + 4);
    qToLittleEndian<qint32>(2, h + 8);
    qToLittleEndian<quint16>(1, h + 12);
    qToLittleEndian<quint16>(1, h + 14);
    return b;
}

// flag, width, height, colour count, reserved, hot spot x and y (16-bit each)
constexpr qsizetype kMadeHeader = 1 + 8;

QByteArray withDirectory(QByteArrayView input)
{
    const QByteArrayView entry = input.sliced(1, 8);
    const QByteArrayView picture = input.sliced(kMadeHeader);
    QByteArray b(6 + 16, '\0');
    char* p = b.data();
    qToLittleEndian<quint16>(2, p + 2);
    qToLittleEndian<quint16>(1, p + 4);
    std::copy(entry.begin(), entry.end(), p + 6);
    qToLittleEndian<quint32>(quint32(picture.size()), p + 6 + 8);
    qToLittleEndian<quint32>(22, p + 6 + 12);
    return b + picture.toByteArray();
}

// libpng and the icon reader complain on stderr about every broken picture.
void quiet(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_cursor";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    qInstallMessageHandler(quiet);
    // Loads the image plugins now, so that their one-time allocations are
    // not taken for leaks of the first input.
    if (!parseCursorFile(tinyCursor()))
        std::fprintf(stderr, "fuzz_cursor: the warm-up cursor does not decode\n");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView input = fuzz::qbytes(data, size);
    const QByteArray bytes = size > std::size_t(kMadeHeader) && (data[0] & 1) ? withDirectory(input)
                                                                                : input.toByteArray();
    if (const std::optional<CursorPicture> picture = parseCursorFile(bytes)) {
        // Whatever is accepted must be safe to make a pointer of.
        QNI_FUZZ_CHECK(!picture->image.isNull());
        QNI_FUZZ_CHECK(picture->image.width() <= 256 && picture->image.height() <= 256);
        QNI_FUZZ_CHECK(picture->image.rect().contains(picture->hotSpot));
    }
    return 0;
}
