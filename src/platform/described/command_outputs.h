// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

namespace qni {

// Command text -> the exact text the command writes, as a machine
// description records them.
using CommandOutputs = QHash<QString, QString>;

// Names the file through which the recorded outputs reach the bundled command
// interpreter, so that it reads just those instead of parsing the whole
// description again for every command.
inline const QString kCommandOutputsVariable = QStringLiteral("QNI_COMMAND_OUTPUTS");

QByteArray encodeCommandOutputs(const CommandOutputs& outputs);
// nullopt for bytes that encodeCommandOutputs did not write.
std::optional<CommandOutputs> decodeCommandOutputs(const QByteArray& bytes);

} // namespace qni
