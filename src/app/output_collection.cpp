#include "app/output_collection.h"

#include <QCoreApplication>

#include <thread>

namespace qni {

QString normaliseChunk(const QString& sChunk)
{
    const qsizetype crs = sChunk.count(QLatin1Char('\r'));
    const qsizetype lfs = sChunk.count(QLatin1Char('\n'));
    if (crs == 0 && lfs == 0)
        return sChunk;
    // Output collection is on the window's thread and runs per chunk: one
    // exact allocation and a plain copy loop keep it cheap.
    QString out(sChunk.size() - crs + lfs, Qt::Uninitialized);
    QChar* o = out.data();
    for (const QChar c : sChunk) {
        if (c == QLatin1Char('\r'))
            continue;
        if (c == QLatin1Char('\n'))
            *o++ = QLatin1Char('\r');
        *o++ = c;
    }
    return out;
}

void sleepFor(std::chrono::milliseconds duration)
{
    std::this_thread::sleep_for(duration);
}

void processPendingEvents()
{
    QCoreApplication::processEvents();
}

void Pause(Int16 iSecs, const SleepFunction& sleep, const EventPump& pumpEvents)
{
    const Int16 passes = mul16(iSecs, 10);
    for (int pass = 1; pass <= passes; ++pass) {
        sleep(std::chrono::milliseconds(100));
        pumpEvents();
    }
}

} // namespace qni
