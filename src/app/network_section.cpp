#include "app/network_section.h"

#include "app/extract_between.h"
#include "app/network_constants.h"
#include "base/resume.h"
#include "base/result_boxes.h"
#include "base/step_failed.h"
#include "platform/network.h"
#include "platform/platform.h"
#include "probes/management_access.h"
#include "runner/read_output.h"

namespace qni {

namespace {

const QString kEnabledAdapters =
    QStringLiteral("SELECT * FROM Win32_NetworkAdapterConfiguration WHERE IPEnabled = True");

} // namespace

void runNetworkSection(NetworkHost& host)
{
    Resume resume;
    ResultBoxes& b = host.boxes;
    QString mac;
    Int16 sourceLength = 0;

    resume([&] { host.runner.SetCommand(b.lblIPConfig.get()); });
    // Starting empties txtOutput and every GotChunk appends to it; a refused
    // or failed run leaves it as it was.
    resume([&] { host.runner.ProcessCommand(); });
    resume([&] {
        b.txtOutput.set(ExtractBetween(b.txtOutput.get(), kAdapterMark, kAdapterEndMark));
    });
    resume([&] {
        b.txtOutput.set(ExtractBetween(b.txtOutput.get(), kPhysicalAddressMark, kDhcpMark));
    });
    resume([&] { sourceLength = toInt16(b.txtOutput.get().size()); });
    // The cut ends with the CR LF of the address line.
    resume([&] {
        const Int16 count = sub16(sourceLength, 2);
        if (count < 0)
            throw StepFailed("Invalid procedure call or argument");
        mac = b.txtOutput.get().left(count);
    });
    resume([&] { b.txtOutput.set(mac); });
    resume([&] { b.txtMac.set(b.txtOutput.get()); });

    resume([&] { b.txtNETIP.set(host.platform.sockets->localAddress()); });

    resume([&] {
        const ManagementCollection adapters = execQuery(host.platform, kEnabledAdapters);
        for (const ManagementObject& adapter : adapters) {
            // Each adapter overwrites the box: the last one's masks stay.
            Resume inner;
            inner([&] { b.txtMask.set(adapter.property(QStringLiteral("IPSubnet")).join(QStringLiteral(" "))); });
        }
    });

    resume([&] { b.txtIP.set(host.platform.internet->openUrl(QString(kPublicAddressPage))); });
    resume([&] { host.pause(1); });
    resume([&] {
        if (b.txtIP.get().contains(QLatin1String("displaycopy")))
            b.txtIP.set(ExtractBetween(b.txtIP.get(), QStringLiteral("('"), QStringLiteral("')")));
    });
    resume([&] { b.txtINTIP.set(b.txtIP.get()); });
}

} // namespace qni
