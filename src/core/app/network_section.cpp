// SPDX-License-Identifier: MIT
#include "app/network_section.h"

#include "app/extract_between.h"
#include "app/network_constants.h"
#include "app/output_collection.h"
#include "base/failure_report.h"
#include "base/ip_address.h"
#include "base/one_line.h"
#include "base/resume.h"
#include "base/result_boxes.h"
#include "base/step_failed.h"
#include "platform/network.h"
#include "platform/platform.h"
#include "probes/management_access.h"
#include "runner/read_output.h"

#include <algorithm>

namespace qni {

using namespace std::literals;

namespace {

const Text kEnabledAdapters = u"SELECT * FROM Win32_NetworkAdapterConfiguration WHERE IPEnabled = True";

// Whether the adapter's IPAddress (an array, or a lone text) lists address.
bool holdsAddress(const ManagementObject& adapter, const Text& address)
{
    if (address.empty())
        return false;
    const std::optional<Variant> value = adapter.find(u"IPAddress");
    if (!value)
        return false;
    if (value->kind() == Variant::Kind::Array)
    {
        const std::vector<Text> listed = split(value->join(u" "), u' ');
        return std::find(listed.begin(), listed.end(), address) != listed.end();
    }
    return value->kind() == Variant::Kind::Text && value->toText() == address;
}

} // namespace

void wireRunner(ReadOutput& runner, EventPump& events, TextSlot& txtOutput)
{
    runner.setEventPump(&events);
    runner.setTimeLimit(kCommandTimeLimit);
    collectOutput(runner, txtOutput);
}

void runNetworkSection(NetworkHost& host)
{
    Resume resume;
    const FailureReport report(host.failed);
    ResultBoxes& b = host.boxes;
    Text mac;
    Int16 sourceLength = 0;

    resume([&] { host.runner.SetCommand(b.lblIPConfig.get()); });
    // Starting empties txtOutput and every GotChunk appends to it; a refused
    // or failed run leaves it as it was, and says why only through Error.
    Text runFailure;
    const int heard = host.runner.Error.connect([&](const Text& message, int&) { runFailure = message; });
    resume([&] { host.runner.ProcessCommand(); });
    host.runner.Error.disconnect(heard);
    // What a run cut short has printed is not all of it: no address is
    // taken from it, and the hidden box lets go of it.
    Text cutShort;
    if (outputWasCut(b.txtOutput))
        cutShort = b.lblIPConfig.get() + u" printed more than " + decimal(kOutputLimit / (1024 * 1024)) + u" MiB";
    else if (host.runner.timedOut())
        cutShort = b.lblIPConfig.get() + u" did not end within " + decimal(kCommandTimeLimit.count() / 1000) + u" seconds";
    if (!cutShort.empty())
        resume([&] { b.txtOutput.set(Text()); });
    const bool listsAdapter = cutShort.empty() && b.txtOutput.get().find(kAdapterMark) != Text::npos;
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
        const Text cut = b.txtOutput.get();
        if (!cut.empty() && (!cut.ends_with(u"\r\n") || cut.find(u'\n') != cut.size() - 1)) {
            unexpectedLayout = true;
            return;
        }
        const Int16 count = sub16(sourceLength, 2);
        if (count < 0)
            throw StepFailed("Invalid procedure call or argument");
        mac = b.txtOutput.get().substr(0, std::size_t(count));
    });
    resume([&] { b.txtOutput.set(mac); });
    resume([&] { b.txtMac.set(b.txtOutput.get()); });
    // No "Local Area Connection" in a complete output: no such adapter, so
    // nothing to show rather than a failure.
    if (!cutShort.empty())
        report(b.txtMac, cutShort);
    else if (!runFailure.empty())
        report(b.txtMac, because(b.lblIPConfig.get() + u" could not be run"s, runFailure));
    else if (unexpectedLayout)
        report(b.txtMac, b.lblIPConfig.get() + u" shows the physical address in an unexpected layout"s);
    else if (listsAdapter && b.txtMac.get().empty())
        report(b.txtMac, b.lblIPConfig.get() + u" shows no physical address for "s +
                             kAdapterMark);

    resume([&] { b.txtNETIP.set(host.platform.sockets->localAddress()); },
           report.on(b.txtNETIP, u"the local address could not be read"s));

    resume([&] {
        const ManagementCollection adapters = execQuery(host.platform, kEnabledAdapters);
        // The masks that belong beside the local address: those of the
        // adapter that holds it, not of whichever adapter comes last.
        const Text local = b.txtNETIP.get();
        for (const ManagementObject& adapter : adapters) {
            if (holdsAddress(adapter, local)) {
                Resume inner;
                inner([&] { b.txtMask.set(adapter.property(u"IPSubnet").join(u" ")); },
                      report.on(b.txtMask, u"the masks of the adapter with "s + local +
                                               u" could not be read"s));
                return;
            }
        }
        // Each adapter overwrites the box and the last one's masks stay: only
        // the last one failing leaves the box without them.
        Text lastFailure;
        for (const ManagementObject& adapter : adapters) {
            lastFailure.clear();
            Resume inner;
            inner([&] { b.txtMask.set(adapter.property(u"IPSubnet").join(u" ")); },
                  [&](const std::exception& e) {
                      lastFailure = because(u"the last adapter's masks could not be read"s, e);
                  });
        }
        if (!lastFailure.empty())
            report(b.txtMask, lastFailure);
    }, report.on(b.txtMask, u"the network adapters could not be listed"s));

    // A page that cannot be had leaves no text behind: an earlier run's
    // address would pass for the current one.
    bool fetched = false;
    resume([&] {
        b.txtIP.set(Text());
        if (host.publicPage.empty()) {
            report(b.txtINTIP, u"no public-address page is set"s);
            return;
        }
        b.txtIP.set(host.platform.internet->openUrl(host.publicPage, host.events));
        fetched = true;
    }, report.on(b.txtINTIP, u"the page could not be fetched"s));
    resume([&] { host.pause(1); });
    // A page that is not one address (a portal's login page, a proxy's error
    // page) must not pass for one; the cut of a "displaycopy" page is kept as
    // it is, less what could break its line or reorder it.
    Text noAddress = u"the page holds no address"s;
    resume([&] {
        const Text page = b.txtIP.get();
        if (page.find(u"displaycopy") != Text::npos) {
            b.txtIP.set(onOneLine(ExtractBetween(page, u"('", u"')")));
        } else if (fetched) {
            const TextView text = trimmedAsciiSpace(page);
            const bool address = isIpAddress(text);
            if (!address)
                noAddress = because(noAddress, text.empty() ? u"it is empty"s
                                                            : u"its text is not one IPv4 or IPv6 address"s);
            b.txtIP.set(address ? Text(text) : Text());
        }
    });
    resume([&] { b.txtINTIP.set(b.txtIP.get()); });
    if (fetched && b.txtINTIP.get().empty())
        report(b.txtINTIP, noAddress);
}

} // namespace qni
