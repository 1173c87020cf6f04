// SPDX-License-Identifier: MIT
#include "app/network_section.h"

#include "app/extract_between.h"
#include "app/network_constants.h"
#include "app/output_collection.h"
#include "base/failure_report.h"
#include "base/ip_address.h"
#include "base/one_line.h"
#include "base/qt_text.h"
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

// Whether the adapter's IPAddress (an array, or a lone text) lists address.
bool holdsAddress(const ManagementObject& adapter, const QString& address)
{
    if (address.isEmpty())
        return false;
    const std::optional<Variant> value = adapter.find(QStringLiteral("IPAddress"));
    if (!value)
        return false;
    if (value->kind() == Variant::Kind::Array)
        return value->join(QStringLiteral(" ")).split(QLatin1Char(' ')).contains(address);
    return value->kind() == Variant::Kind::Text && value->toText() == address;
}

} // namespace

void runNetworkSection(NetworkHost& host)
{
    Resume resume;
    const FailureReport report(host.failed);
    ResultBoxes& b = host.boxes;
    QString mac;
    Int16 sourceLength = 0;

    resume([&] { host.runner.SetCommand(b.lblIPConfig.get()); });
    // Starting empties txtOutput and every GotChunk appends to it; a refused
    // or failed run leaves it as it was, and says why only through Error.
    QString runFailure;
    const int heard = host.runner.Error.connect([&](const QString& message, int&) { runFailure = message; });
    resume([&] { host.runner.ProcessCommand(); });
    host.runner.Error.disconnect(heard);
    // What a run cut short has printed is not all of it: no address is
    // taken from it, and the hidden box lets go of it.
    QString cutShort;
    if (outputWasCut(b.txtOutput))
        cutShort = b.lblIPConfig.get() + QStringLiteral(" printed more than %1 MiB").arg(kOutputLimit / (1024 * 1024));
    else if (host.runner.timedOut())
        cutShort = b.lblIPConfig.get() + QStringLiteral(" did not end within %1 seconds")
                                             .arg(kCommandTimeLimit.count() / 1000);
    if (!cutShort.isEmpty())
        resume([&] { b.txtOutput.set(QString()); });
    const bool listsAdapter = cutShort.isEmpty() && b.txtOutput.get().contains(kAdapterMark);
    resume([&] {
        b.txtOutput.set(ExtractBetween(b.txtOutput.get(), kAdapterMark, kAdapterEndMark));
    });
    resume([&] {
        b.txtOutput.set(ExtractBetween(b.txtOutput.get(), kPhysicalAddressMark, kDhcpMark));
    });
    resume([&] { sourceLength = toInt16(b.txtOutput.get().size()); });
    // The cut ends with the CR LF of the address line. One that does not, or
    // that spans lines, is a layout this cut does not know: reported rather
    // than guessed at.
    bool unexpectedLayout = false;
    resume([&] {
        const QString cut = b.txtOutput.get();
        if (!cut.isEmpty() && (!cut.endsWith(QLatin1String("\r\n")) || cut.chopped(2).contains(QLatin1Char('\n')))) {
            unexpectedLayout = true;
            return;
        }
        const Int16 count = sub16(sourceLength, 2);
        if (count < 0)
            throw StepFailed("Invalid procedure call or argument");
        mac = b.txtOutput.get().left(count);
    });
    resume([&] { b.txtOutput.set(mac); });
    resume([&] { b.txtMac.set(b.txtOutput.get()); });
    // No "Local Area Connection" in a complete output: no such adapter, so
    // nothing to show rather than a failure.
    if (!cutShort.isEmpty())
        report(b.txtMac, cutShort);
    else if (!runFailure.isEmpty())
        report(b.txtMac, because(b.lblIPConfig.get() + QStringLiteral(" could not be run"), runFailure));
    else if (unexpectedLayout)
        report(b.txtMac, b.lblIPConfig.get() + QStringLiteral(" shows the physical address in an unexpected layout"));
    else if (listsAdapter && b.txtMac.get().isEmpty())
        report(b.txtMac, b.lblIPConfig.get() + QStringLiteral(" shows no physical address for ") +
                             kAdapterMark);

    resume([&] { b.txtNETIP.set(host.platform.sockets->localAddress()); },
           report.on(b.txtNETIP, QStringLiteral("the local address could not be read")));

    resume([&] {
        const ManagementCollection adapters = execQuery(host.platform, kEnabledAdapters);
        // The masks that belong beside the local address: those of the
        // adapter that holds it, not of whichever adapter comes last.
        const QString local = b.txtNETIP.get();
        for (const ManagementObject& adapter : adapters) {
            if (holdsAddress(adapter, local)) {
                Resume inner;
                inner([&] { b.txtMask.set(adapter.property(QStringLiteral("IPSubnet")).join(QStringLiteral(" "))); },
                      report.on(b.txtMask, QStringLiteral("the masks of the adapter with ") + local +
                                               QStringLiteral(" could not be read")));
                return;
            }
        }
        // Each adapter overwrites the box and the last one's masks stay: only
        // the last one failing leaves the box without them.
        QString lastFailure;
        for (const ManagementObject& adapter : adapters) {
            lastFailure.clear();
            Resume inner;
            inner([&] { b.txtMask.set(adapter.property(QStringLiteral("IPSubnet")).join(QStringLiteral(" "))); },
                  [&](const std::exception& e) {
                      lastFailure = because(QStringLiteral("the last adapter's masks could not be read"), e);
                  });
        }
        if (!lastFailure.isEmpty())
            report(b.txtMask, lastFailure);
    }, report.on(b.txtMask, QStringLiteral("the network adapters could not be listed")));

    // A page that cannot be had leaves no text behind: an earlier run's
    // address would pass for the current one.
    bool fetched = false;
    resume([&] {
        b.txtIP.set(QString());
        if (host.publicPage.isEmpty()) {
            report(b.txtINTIP, QStringLiteral("no public-address page is set"));
            return;
        }
        b.txtIP.set(host.platform.internet->openUrl(host.publicPage, host.events));
        fetched = true;
    }, report.on(b.txtINTIP, QStringLiteral("the page could not be fetched")));
    resume([&] { host.pause(1); });
    // A page that is not one address (a portal's login page, a proxy's error
    // page) must not pass for one; the cut of a "displaycopy" page is kept as
    // it is, less what could break its line or reorder it.
    QString noAddress = QStringLiteral("the page holds no address");
    resume([&] {
        const QString page = b.txtIP.get();
        if (page.contains(QLatin1String("displaycopy"))) {
            b.txtIP.set(fromU16(onOneLine(u16(ExtractBetween(page, QStringLiteral("('"), QStringLiteral("')"))))));
        } else if (fetched) {
            const std::u16string_view text = trimmedAsciiSpace(u16(page));
            const bool address = isIpAddress(text);
            if (!address)
                noAddress = because(noAddress, text.empty() ? QStringLiteral("it is empty")
                                                            : QStringLiteral("its text is not one IPv4 or IPv6 address"));
            b.txtIP.set(address ? fromU16(text) : QString());
        }
    });
    resume([&] { b.txtINTIP.set(b.txtIP.get()); });
    if (fetched && b.txtINTIP.get().isEmpty())
        report(b.txtINTIP, noAddress);
}

} // namespace qni
