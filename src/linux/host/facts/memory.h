// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

namespace qni {

// A memory module's size in bytes; nullopt when the module is there but its
// size is not known.
using ModuleSize = std::optional<quint64>;

// The memory devices (SMBIOS type 17) of a raw SMBIOS structure table, as
// /sys/firmware/dmi/tables/DMI holds it, in table order. Empty slots are left
// out. A damaged table ends the walk at the first structure that does not fit.
std::vector<ModuleSize> parseSmbiosMemoryDevices(QByteArrayView table);

// The memory devices that udev recorded for /sys/class/dmi/id
// (/run/udev/data/+dmi:id, "E:MEMORY_DEVICE_<n>_SIZE=<bytes>"), by slot
// number. Slots marked "_PRESENT=0" are left out.
std::vector<ModuleSize> parseUdevMemoryDevices(QByteArrayView udevData);

// The DIMMs (or ranks, on older drivers) of every EDAC memory controller
// under root, controller by controller.
std::vector<ModuleSize> readEdacModules(const QString& root);

// "MemTotal" of a /proc/meminfo text, in bytes.
std::optional<quint64> parseMemTotal(QByteArrayView meminfo);

// The memory the system runs with: online memory blocks times the block
// size, else MemTotal.
std::optional<quint64> readInstalledMemory(const QString& root);

// The host's memory modules from the best source that knows the size of any:
// the SMBIOS table, udev's copy of it, EDAC, else one module holding the
// installed memory. Empty only when nothing at all can be read.
std::vector<ModuleSize> readMemoryModules(const QString& root);

} // namespace qni
