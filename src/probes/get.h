#pragma once

namespace qni {

struct Platform;
struct ResultBoxes;

// The three system probes. Each writes its results straight into the main
// window's boxes and never fails towards its caller.

// Fills txtOS, txtOSSerial, txtVersion; writes "Not XP!" into txtOS when the
// build label does not hold "xp" (relies on txtOS having been emptied).
void GetOSInfo(ResultBoxes& boxes, const Platform& platform);

// Appends one "<megabytes> MB Chip" line per memory module to txtMemory,
// staging each capacity in txtTotal.
void GetMemoryInfo(ResultBoxes& boxes, const Platform& platform);

// Sets txtCPUSpeed to the last processor's clock and " Mhz", and txtCPU to
// the name of processor 0.
void GetCPUInfo(ResultBoxes& boxes, const Platform& platform);

} // namespace qni
