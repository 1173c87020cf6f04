#pragma once

#include <QString>

#include <functional>

namespace qni {

struct Platform;
struct ResultBoxes;

// What a gather run needs from the window that hosts it.
struct GatherHost {
    ResultBoxes& boxes;
    const Platform& platform;
    // Lets the window handle its pending events once (clicks, repaints).
    std::function<void()> processEvents;
    // The modal "not XP" message; returns when the user has closed it.
    std::function<void(const QString& text)> showMessage;
    // Step 11: the network facts.
    std::function<void()> networkSection;
};

inline const QString kGathering = QStringLiteral("Gathering Information Be Patient..");
inline const QString kGathered = QStringLiteral("Information Gathered Successfully!");
inline const QString kNotXpMarker = QStringLiteral("Not XP!");
inline const QString kNotXpMessage = QStringLiteral("This is not a version of Windows XP!");

// One run of "Gather Info", in continue-on-error mode throughout.
void runGather(GatherHost& host);

} // namespace qni
