// SPDX-License-Identifier: MIT
#include "platform/described/command_outputs.h"

#include <QDataStream>
#include <QIODevice>

namespace qni {

namespace {

constexpr quint32 kMagic = 0x514e4931; // "QNI1"
constexpr QDataStream::Version kVersion = QDataStream::Qt_6_0;

} // namespace

QByteArray encodeCommandOutputs(const CommandOutputs& outputs)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(kVersion);
    out << kMagic << outputs;
    return bytes;
}

std::optional<CommandOutputs> decodeCommandOutputs(const QByteArray& bytes)
{
    QDataStream in(bytes);
    in.setVersion(kVersion);
    quint32 magic = 0;
    CommandOutputs outputs;
    in >> magic;
    if (magic != kMagic)
        return std::nullopt;
    in >> outputs;
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return std::nullopt;
    return outputs;
}

} // namespace qni
