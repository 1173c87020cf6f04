// SPDX-License-Identifier: MIT
#pragma once

#include "base/result_boxes.h"

namespace qni {

struct Platform;

// The three system probes. Each writes its results straight into the main
// window's boxes and never fails towards its caller; failed hears of each box
// a step could not fill, and why.

// Fills txtOS, txtOSSerial, txtVersion. On a Windows, writes "Not XP!" into
// txtOS when the build label does not hold "xp" (relies on txtOS having been
// emptied); on a Linux host, shows the host's own system.
void GetOSInfo(ResultBoxes& boxes, const Platform& platform, const BoxFailed& failed = {});

// Appends one "<megabytes> MB Chip" line per memory module to txtMemory,
// staging each capacity in txtTotal.
void GetMemoryInfo(ResultBoxes& boxes, const Platform& platform, const BoxFailed& failed = {});

// Sets txtCPUSpeed to the last processor's clock and " Mhz", and txtCPU to
// the name of processor 0.
void GetCPUInfo(ResultBoxes& boxes, const Platform& platform, const BoxFailed& failed = {});

} // namespace qni
