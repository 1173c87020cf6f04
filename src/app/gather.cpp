#include "app/gather.h"

#include "base/resume.h"
#include "base/result_boxes.h"
#include "probes/get.h"

namespace qni {

void runGather(GatherHost& host)
{
    Resume resume;
    ResultBoxes& b = host.boxes;

    // The hidden boxes (txtOutput, txtIP, txtTotal) keep their text.
    for (TextSlot* box : {&b.txtOS, &b.txtOSSerial, &b.txtVersion, &b.txtMemory, &b.txtCPU, &b.txtCPUSpeed,
                          &b.txtNETIP, &b.txtINTIP, &b.txtMask, &b.txtMac})
        resume([&] { box->set(QString()); });
    resume([&] { b.lblStatus.set(kGathering); });

    resume([&] { GetOSInfo(b, host.platform); });
    resume([&] { host.processEvents(); });

    // The probe hands its verdict back through the box; an event handled
    // above may have changed it, and the box is what counts.
    if (b.txtOS.get() == kNotXpMarker) {
        resume([&] { host.showMessage(kNotXpMessage); });
        return;
    }

    resume([&] { GetMemoryInfo(b, host.platform); });
    resume([&] { host.processEvents(); });
    resume([&] { GetCPUInfo(b, host.platform); });
    resume([&] { host.processEvents(); });
    resume([&] {
        if (host.networkSection)
            host.networkSection();
    });
    resume([&] { b.lblStatus.set(kGathered); });
}

} // namespace qni
