// SPDX-License-Identifier: MIT
#include "app/gather.h"

#include "base/event_pump.h"
#include "base/resume.h"
#include "base/result_boxes.h"
#include "base/step_failed.h"
#include "platform/platform.h"
#include "probes/system_probes.h"


namespace qni {

using namespace std::literals;

GatherOutcome runGather(GatherHost& host)
{
    Resume resume;
    ResultBoxes& b = host.boxes;
    GatherOutcome outcome;
    const BoxFailed failed = [&](const TextSlot& box, const Text& reason) {
        for (const FactInfo& info : kFacts) {
            if (&info.box(b) == &box)
                outcome.fail(info.fact, reason);
        }
    };

    // The hidden boxes (txtOutput, txtIP, txtTotal) keep their text.
    for (TextSlot* box : {&b.txtOS, &b.txtOSSerial, &b.txtVersion, &b.txtMemory, &b.txtCPU, &b.txtCPUSpeed,
                          &b.txtNETIP, &b.txtINTIP, &b.txtMask, &b.txtMac})
        resume([&] { box->set(Text()); });
    resume([&] { b.lblStatus.set(kGathering); });

    resume([&] { GetOSInfo(b, host.platform, failed); });
    resume([&] { host.events.processEvents(); });

    // The probe hands its verdict back through the box; an event handled
    // above may have changed it, and the box is what counts. A Linux host is
    // never refused, whatever name its system gives itself.
    if (!host.platform.hostIdentity && b.txtOS.get() == kNotXpMarker) {
        outcome.notXp = true;
        outcome.failures.clear();
        resume([&] { host.showMessage(kNotXpMessage); });
        resume([&] { b.lblStatus.set(kNotXpMessage); });
        return outcome;
    }

    resume([&] { GetMemoryInfo(b, host.platform, failed); });
    resume([&] { host.events.processEvents(); });
    resume([&] { GetCPUInfo(b, host.platform, failed); });
    resume([&] { host.events.processEvents(); });
    resume([&] {
        if (host.networkSection)
            host.networkSection(failed);
    }, [&](const std::exception& e) {
        // The section stopped part-way: what it had filled holds its fact.
        for (Fact fact : {Fact::NetworkAddress, Fact::InternetAddress, Fact::SubnetMask, Fact::MacAddress})
            if (factInfo(fact).box(b).get().empty())
                failed(factInfo(fact).box(b), because(u"the network facts could not be gathered", e));
    });

    // A failure counts even where its box got text: the probes report only
    // what a later step did not make good.
    resume([&] { b.lblStatus.set(outcome.failures.empty() ? kGathered : kGatheredWithErrors); });
    return outcome;
}

Text failureList(const GatherOutcome& outcome)
{
    std::vector<Text> lines;
    for (const FactFailure& f : outcome.failures)
        lines.push_back(factInfo(f.fact).caption + (u' ' + f.reason));
    return join(lines, u"\n");
}

} // namespace qni
