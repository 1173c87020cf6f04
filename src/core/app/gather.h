// SPDX-License-Identifier: MIT
#pragma once

#include "app/facts.h"
#include "app/network_constants.h"
#include "base/result_boxes.h"


#include <functional>

namespace qni {

struct Platform;
class EventPump;

// What the user chose for a run.
struct GatherSettings {
    Text publicPage = Text(kPublicAddressPage); // empty: fetch nothing
};

// What a gather run needs from the window that hosts it.
struct GatherHost {
    ResultBoxes& boxes;
    const Platform& platform;
    // Lets the window handle its pending events between the steps.
    EventPump& events;
    // The modal "not XP" message; returns when the user has closed it.
    std::function<void(const Text& text)> showMessage;
    // Step 11: the network facts; tells failed of each box it leaves unfilled.
    std::function<void(const BoxFailed& failed)> networkSection;
};

inline const Text kGathering = u"Gathering Information Be Patient..";
inline const Text kGathered = u"Information Gathered Successfully!";
inline const Text kGatheredWithErrors = u"Information Gathered With Errors!";
inline const Text kNotXpMarker = u"Not XP!";
inline const Text kNotXpMessage = u"This is not a version of Windows XP!";

// One run of "Gather Info", in continue-on-error mode throughout. The status
// line ends by saying whether every fact was gathered; the outcome says which
// were not, and why.
GatherOutcome runGather(GatherHost& host);

// The failures one per line, in window order, each after its fact's caption
// ("Internet Address: the page could not be fetched (timed out)").
Text failureList(const GatherOutcome& outcome);

} // namespace qni
