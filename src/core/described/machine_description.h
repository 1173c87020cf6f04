// SPDX-License-Identifier: MIT
#pragma once

#include "base/variant.h"
#include "platform/management.h"

#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <unordered_map>

namespace qni {

// A machine description that cannot be used: the message names the file and
// the fault.
class DescriptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One member of a machine description: absent (the host's source stays),
// null, or given.
template <class T>
struct Described {
    enum class State { Absent, Null, Given };
    State state = State::Absent;
    T value{};

    bool absent() const { return state == State::Absent; }
    bool null() const { return state == State::Null; }
    bool given() const { return state == State::Given; }
};

// Values by name.
template <class T>
using ValueMap = std::unordered_map<Text, T>;

// The JSON file named by QNI_MACHINE, checked and parsed.
struct MachineDescription {
    Text fileName;
    // Keys are lower-cased: registry paths and class names match without
    // regard to case.
    Described<ValueMap<Variant>> registry;
    Described<ValueMap<ManagementCollection>> management;
    Described<ValueMap<Text>> commands;
    Described<Text> localAddress;
    Described<Text> publicPage;
};

// Parses a description; throws DescriptionError "<file>: <fault>" (with the
// line and column of a syntax error).
MachineDescription parseMachineDescription(std::string_view json, const Text& fileName);
// Reads and parses the file; a missing or unreadable file is a DescriptionError.
MachineDescription loadMachineDescription(const std::filesystem::path& path);

} // namespace qni
