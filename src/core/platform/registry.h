// SPDX-License-Identifier: MIT
#pragma once

#include "base/variant.h"

#include <memory>

namespace qni {

// The shell object's registry reader ("wscript.shell" RegRead).
class RegistryShell {
public:
    virtual ~RegistryShell() = default;
    // The value's data. Throws StepFailed when the key or value does not exist.
    virtual Variant regRead(const Text& path) const = 0;
};

class RegistryProvider {
public:
    virtual ~RegistryProvider() = default;
    // A new shell object; throws StepFailed when it cannot be created.
    virtual std::unique_ptr<RegistryShell> create() const = 0;
};

// The registry paths the program reads.
namespace regpath {
inline constexpr TextView kBuildLab =
    u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\BuildLab";
inline constexpr TextView kCsdVersion =
    u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\CSDversion";
inline constexpr TextView kCurrentBuildNumber =
    u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\CurrentBuildNumber";
inline constexpr TextView kProcessorNameString =
    u"HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0\\ProcessorNameString";
} // namespace regpath

} // namespace qni
