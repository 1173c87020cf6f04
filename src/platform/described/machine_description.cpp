// SPDX-License-Identifier: MIT
#include "platform/described/machine_description.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace qni {

namespace {

constexpr qint64 kMaxDescriptionBytes = 64 * 1024 * 1024;

[[noreturn]] void fail(const QString& fileName, const QString& fault)
{
    // The report is one line, whatever control characters the file's name or
    // its member names hold.
    QString message = fileName + QStringLiteral(": ") + fault;
    for (QChar& c : message) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    }
    throw DescriptionError(message.toStdString());
}

QString quoted(const QString& s) { return QLatin1Char('"') + s + QLatin1Char('"'); }

// Names that match without regard to case must not be given twice: one of
// the two would be silently left unused.
void claimName(QSet<QString>& seen, const QString& name, const QString& fileName, const QString& where)
{
    const QString key = name.toLower();
    if (seen.contains(key))
        fail(fileName, where + QStringLiteral(": named twice (names match without regard to case)"));
    seen.insert(key);
}

// A property or registry value: string, number, boolean (management only),
// null, or an array of strings.
Variant toVariant(const QJsonValue& v, bool allowBoolean, const QString& fileName, const QString& where)
{
    switch (v.type()) {
    case QJsonValue::String:
        return Variant::text(v.toString());
    case QJsonValue::Double:
        return Variant::number(v.toDouble());
    case QJsonValue::Null:
        return Variant::null();
    case QJsonValue::Bool:
        if (allowBoolean)
            return Variant::boolean(v.toBool());
        break;
    case QJsonValue::Array: {
        QStringList items;
        const QJsonArray array = v.toArray();
        for (const QJsonValue& item : array) {
            if (!item.isString())
                fail(fileName, where + QStringLiteral(": an array must hold only strings"));
            items.append(item.toString());
        }
        return Variant::array(items);
    }
    default:
        break;
    }
    fail(fileName, where + (allowBoolean
                                ? QStringLiteral(": expected a string, number, boolean, null or array of strings")
                                : QStringLiteral(": expected a string, number, null or array of strings")));
}

template <class T, class Fill>
Described<T> member(const QJsonObject& root, const QString& name, bool nullable, const QString& fileName, Fill fill)
{
    Described<T> d;
    const auto it = root.find(name);
    if (it == root.end())
        return d;
    if (it->isNull()) {
        if (!nullable)
            fail(fileName, quoted(name) + QStringLiteral(": must not be null"));
        d.state = Described<T>::State::Null;
        return d;
    }
    d.state = Described<T>::State::Given;
    d.value = fill(*it, quoted(name));
    return d;
}

QJsonObject expectObject(const QJsonValue& v, const QString& fileName, const QString& where)
{
    if (!v.isObject())
        fail(fileName, where + QStringLiteral(": expected an object"));
    return v.toObject();
}

QString expectString(const QJsonValue& v, const QString& fileName, const QString& where)
{
    if (!v.isString())
        fail(fileName, where + QStringLiteral(": expected a string"));
    return v.toString();
}

} // namespace

MachineDescription parseMachineDescription(const QByteArray& json, const QString& fileName)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        const qsizetype offset = std::clamp<qsizetype>(error.offset, 0, json.size());
        const QByteArray before = json.left(offset);
        const qsizetype line = before.count('\n') + 1;
        const qsizetype column = offset - (before.lastIndexOf('\n') + 1) + 1;
        fail(fileName, QStringLiteral("line %1, column %2: %3").arg(line).arg(column).arg(error.errorString()));
    }
    if (!doc.isObject())
        fail(fileName, QStringLiteral("expected a JSON object at the top level"));
    const QJsonObject root = doc.object();

    static const QStringList kMembers = {QStringLiteral("registry"), QStringLiteral("management"),
                                      QStringLiteral("commands"), QStringLiteral("localAddress"),
                                      QStringLiteral("publicPage")};
    for (auto it = root.begin(); it != root.end(); ++it) {
        if (!kMembers.contains(it.key()))
            fail(fileName, QStringLiteral("unknown member %1 (expected one of %2)")
                               .arg(quoted(it.key()), kMembers.join(QStringLiteral(", "))));
    }

    MachineDescription d;
    d.fileName = fileName;
    d.registry = member<QHash<QString, Variant>>(root, QStringLiteral("registry"), true, fileName,
        [&](const QJsonValue& v, const QString& where) {
            QHash<QString, Variant> values;
            QSet<QString> seen;
            const QJsonObject o = expectObject(v, fileName, where);
            for (auto it = o.begin(); it != o.end(); ++it) {
                const QString valueWhere = where + QLatin1Char('.') + quoted(it.key());
                claimName(seen, it.key(), fileName, valueWhere);
                values.insert(it.key().toLower(), toVariant(*it, false, fileName, valueWhere));
            }
            return values;
        });
    d.management = member<QHash<QString, ManagementCollection>>(root, QStringLiteral("management"), true, fileName,
        [&](const QJsonValue& v, const QString& where) {
            QHash<QString, ManagementCollection> classes;
            QSet<QString> seenClasses;
            const QJsonObject o = expectObject(v, fileName, where);
            for (auto it = o.begin(); it != o.end(); ++it) {
                const QString classWhere = where + QLatin1Char('.') + quoted(it.key());
                claimName(seenClasses, it.key(), fileName, classWhere);
                if (!it->isArray())
                    fail(fileName, classWhere + QStringLiteral(": expected an array of instances"));
                ManagementCollection instances;
                const QJsonArray array = it->toArray();
                for (qsizetype i = 0; i < array.size(); ++i) {
                    const QString instWhere = classWhere + QStringLiteral("[%1]").arg(i);
                    const QJsonObject inst = expectObject(array.at(i), fileName, instWhere);
                    ManagementObject object;
                    QSet<QString> seenProperties;
                    for (auto p = inst.begin(); p != inst.end(); ++p) {
                        const QString propertyWhere = instWhere + QLatin1Char('.') + quoted(p.key());
                        claimName(seenProperties, p.key(), fileName, propertyWhere);
                        object.properties.append({p.key(), toVariant(*p, true, fileName, propertyWhere)});
                    }
                    instances.append(object);
                }
                classes.insert(it.key().toLower(), instances);
            }
            return classes;
        });
    d.commands = member<QHash<QString, QString>>(root, QStringLiteral("commands"), false, fileName,
        [&](const QJsonValue& v, const QString& where) {
            QHash<QString, QString> commands;
            const QJsonObject o = expectObject(v, fileName, where);
            for (auto it = o.begin(); it != o.end(); ++it)
                commands.insert(it.key(), expectString(*it, fileName, where + QLatin1Char('.') + quoted(it.key())));
            return commands;
        });
    d.localAddress = member<QString>(root, QStringLiteral("localAddress"), true, fileName,
        [&](const QJsonValue& v, const QString& where) { return expectString(v, fileName, where); });
    d.publicPage = member<QString>(root, QStringLiteral("publicPage"), true, fileName,
        [&](const QJsonValue& v, const QString& where) { return expectString(v, fileName, where); });
    return d;
}

MachineDescription loadMachineDescription(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        fail(path, QStringLiteral("no such file"));
    if (info.isDir())
        fail(path, QStringLiteral("is a directory, not a machine description"));
    // Opening a FIFO would wait for a writer, and a device may never end.
    if (!info.isFile())
        fail(path, QStringLiteral("is not a regular file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(path, QStringLiteral("cannot be read: ") + file.errorString());
    const QByteArray bytes = file.read(kMaxDescriptionBytes + 1);
    if (bytes.size() > kMaxDescriptionBytes)
        fail(path, QStringLiteral("larger than %1 bytes").arg(kMaxDescriptionBytes));
    if (file.error() != QFileDevice::NoError)
        fail(path, QStringLiteral("cannot be read: ") + file.errorString());
    return parseMachineDescription(bytes, path);
}

} // namespace qni
