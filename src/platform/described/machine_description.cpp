// SPDX-License-Identifier: MIT
#include "platform/described/machine_description.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <string>
#include <unordered_set>
#include <vector>

namespace qni {

namespace {

using Json = nlohmann::json;

constexpr qint64 kMaxDescriptionBytes = 64 * 1024 * 1024;
// Far deeper than any description can be; the walk and the parser's stack
// stay small whatever a file holds.
constexpr int kMaxDepth = 256;
// A syntax error quotes what was last read, which may be a whole long string.
constexpr qsizetype kMaxReasonLength = 200;

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

QString text(const std::string& s) { return QString::fromStdString(s); }

// Names that match without regard to case must not be given twice: one of
// the two would be silently left unused.
void claimName(QSet<QString>& seen, const QString& name, const QString& fileName, const QString& where)
{
    const QString key = name.toLower();
    if (seen.contains(key))
        fail(fileName, where + QStringLiteral(": named twice (names match without regard to case)"));
    seen.insert(key);
}

// A parser that keeps the last of two equal names would drop the first
// without a word, so the parse watches every object's names itself.
class DuplicateWatch {
public:
    explicit DuplicateWatch(const QString& fileName) : fileName_(fileName) {}

    bool operator()(int depth, Json::parse_event_t event, const Json& parsed)
    {
        switch (event) {
        case Json::parse_event_t::object_start:
        case Json::parse_event_t::array_start:
            if (depth >= kMaxDepth)
                fail(fileName_, QStringLiteral("too deeply nested"));
            countElement();
            levels_.push_back({event == Json::parse_event_t::array_start, -1, {}, {}});
            break;
        case Json::parse_event_t::object_end:
        case Json::parse_event_t::array_end:
            levels_.pop_back();
            break;
        case Json::parse_event_t::key: {
            Level& level = levels_.back();
            level.key = parsed.get<std::string>();
            if (!level.names.insert(level.key).second)
                fail(fileName_, place() + QStringLiteral(": given twice"));
            break;
        }
        case Json::parse_event_t::value:
            countElement();
            break;
        }
        return true;
    }

private:
    struct Level {
        bool array;
        qsizetype index;
        std::string key;
        std::unordered_set<std::string> names;
    };

    void countElement()
    {
        if (!levels_.empty() && levels_.back().array)
            ++levels_.back().index;
    }

    // "management"."Win32_Processor"[0]."Name", as the other faults name places.
    QString place() const
    {
        QString where;
        for (const Level& level : levels_) {
            if (level.array)
                where += QStringLiteral("[%1]").arg(level.index);
            else
                where += (where.isEmpty() ? QString() : QStringLiteral(".")) + quoted(text(level.key));
        }
        return where;
    }

    const QString& fileName_;
    std::vector<Level> levels_;
};

// Descriptions have always been taken with raw control characters inside
// strings (a recorded output pasted with its tabs and line breaks); the
// parser wants them escaped. starts holds where each escape begins, so that
// an error's place can be told in the file's own bytes.
QByteArray escapeControlsInStrings(const QByteArray& bytes, std::vector<qsizetype>& starts)
{
    QByteArray out;
    out.reserve(bytes.size());
    bool inString = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (inString && static_cast<unsigned char>(c) < 0x20) {
            starts.push_back(out.size());
            out += QByteArray("\\u00") + QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0');
            continue;
        }
        out += c;
        if (c == '"')
            inString = !inString;
        else if (inString && c == '\\' && i + 1 < bytes.size() && static_cast<unsigned char>(bytes[i + 1]) >= 0x20)
            out += bytes[++i];
    }
    return out;
}

qsizetype originalOffset(qsizetype offset, const std::vector<qsizetype>& starts)
{
    constexpr qsizetype kGrowth = 5; // one byte became six
    const auto before = std::lower_bound(starts.begin(), starts.end(), offset) - starts.begin();
    return offset - kGrowth * before;
}

Json parseJson(const QByteArray& original, const QString& fileName)
{
    std::vector<qsizetype> starts;
    const QByteArray bytes = escapeControlsInStrings(original, starts);
    try {
        return Json::parse(bytes.cbegin(), bytes.cend(), DuplicateWatch(fileName));
    } catch (const Json::parse_error& e) {
        // The parser's own message repeats its line and column after a prefix.
        QString reason = QString::fromUtf8(e.what());
        if (const qsizetype at = reason.indexOf(QLatin1String("column ")); at >= 0) {
            if (const qsizetype colon = reason.indexOf(QLatin1String(": "), at); colon >= 0)
                reason = reason.mid(colon + 2);
        }
        if (reason.size() > kMaxReasonLength)
            reason = reason.left(kMaxReasonLength) + QStringLiteral("...");
        const qsizetype offset =
            std::clamp<qsizetype>(originalOffset(qsizetype(e.byte) - 1, starts), 0, original.size());
        const QByteArray before = original.left(offset);
        const qsizetype line = before.count('\n') + 1;
        const qsizetype column = offset - (before.lastIndexOf('\n') + 1) + 1;
        fail(fileName, QStringLiteral("line %1, column %2: %3").arg(line).arg(column).arg(reason));
    } catch (const Json::exception& e) {
        fail(fileName, QString::fromUtf8(e.what()));
    }
}

// A property or registry value: string, number, boolean (management only),
// null, or an array of strings.
Variant toVariant(const Json& v, bool allowBoolean, const QString& fileName, const QString& where)
{
    if (v.is_string())
        return Variant::text(text(v.get_ref<const std::string&>()));
    if (v.is_number())
        return Variant::number(v.get<double>());
    if (v.is_null())
        return Variant::null();
    if (v.is_boolean() && allowBoolean)
        return Variant::boolean(v.get<bool>());
    if (v.is_array()) {
        QStringList items;
        for (const Json& item : v) {
            if (!item.is_string())
                fail(fileName, where + QStringLiteral(": an array must hold only strings"));
            items.append(text(item.get_ref<const std::string&>()));
        }
        return Variant::array(items);
    }
    fail(fileName, where + (allowBoolean
                                ? QStringLiteral(": expected a string, number, boolean, null or array of strings")
                                : QStringLiteral(": expected a string, number, null or array of strings")));
}

template <class T, class Fill>
Described<T> member(const Json& root, const char* name, bool nullable, const QString& fileName, Fill fill)
{
    Described<T> d;
    const auto it = root.find(name);
    if (it == root.end())
        return d;
    const QString where = quoted(QLatin1String(name));
    if (it->is_null()) {
        if (!nullable)
            fail(fileName, where + QStringLiteral(": must not be null"));
        d.state = Described<T>::State::Null;
        return d;
    }
    d.state = Described<T>::State::Given;
    d.value = fill(*it, where);
    return d;
}

const Json& expectObject(const Json& v, const QString& fileName, const QString& where)
{
    if (!v.is_object())
        fail(fileName, where + QStringLiteral(": expected an object"));
    return v;
}

QString expectString(const Json& v, const QString& fileName, const QString& where)
{
    if (!v.is_string())
        fail(fileName, where + QStringLiteral(": expected a string"));
    return text(v.get_ref<const std::string&>());
}

} // namespace

MachineDescription parseMachineDescription(const QByteArray& json, const QString& fileName)
{
    const Json root = parseJson(json, fileName);
    if (!root.is_object())
        fail(fileName, QStringLiteral("expected a JSON object at the top level"));

    static const QStringList kMembers = {QStringLiteral("registry"), QStringLiteral("management"),
                                      QStringLiteral("commands"), QStringLiteral("localAddress"),
                                      QStringLiteral("publicPage")};
    for (const auto& [key, value] : root.items()) {
        if (!kMembers.contains(text(key)))
            fail(fileName, QStringLiteral("unknown member %1 (expected one of %2)")
                               .arg(quoted(text(key)), kMembers.join(QStringLiteral(", "))));
    }

    MachineDescription d;
    d.fileName = fileName;
    d.registry = member<QHash<QString, Variant>>(root, "registry", true, fileName,
        [&](const Json& v, const QString& where) {
            QHash<QString, Variant> values;
            QSet<QString> seen;
            for (const auto& [key, value] : expectObject(v, fileName, where).items()) {
                const QString name = text(key);
                const QString valueWhere = where + QLatin1Char('.') + quoted(name);
                claimName(seen, name, fileName, valueWhere);
                values.insert(name.toLower(), toVariant(value, false, fileName, valueWhere));
            }
            return values;
        });
    d.management = member<QHash<QString, ManagementCollection>>(root, "management", true, fileName,
        [&](const Json& v, const QString& where) {
            QHash<QString, ManagementCollection> classes;
            QSet<QString> seenClasses;
            for (const auto& [key, array] : expectObject(v, fileName, where).items()) {
                const QString className = text(key);
                const QString classWhere = where + QLatin1Char('.') + quoted(className);
                claimName(seenClasses, className, fileName, classWhere);
                if (!array.is_array())
                    fail(fileName, classWhere + QStringLiteral(": expected an array of instances"));
                ManagementCollection instances;
                for (size_t i = 0; i < array.size(); ++i) {
                    const QString instWhere = classWhere + QStringLiteral("[%1]").arg(i);
                    ManagementObject object;
                    QSet<QString> seenProperties;
                    for (const auto& [property, value] : expectObject(array[i], fileName, instWhere).items()) {
                        const QString propertyName = text(property);
                        const QString propertyWhere = instWhere + QLatin1Char('.') + quoted(propertyName);
                        claimName(seenProperties, propertyName, fileName, propertyWhere);
                        object.properties.append({propertyName, toVariant(value, true, fileName, propertyWhere)});
                    }
                    instances.append(object);
                }
                classes.insert(className.toLower(), instances);
            }
            return classes;
        });
    d.commands = member<QHash<QString, QString>>(root, "commands", false, fileName,
        [&](const Json& v, const QString& where) {
            QHash<QString, QString> commands;
            for (const auto& [key, value] : expectObject(v, fileName, where).items()) {
                const QString command = text(key);
                commands.insert(command, expectString(value, fileName, where + QLatin1Char('.') + quoted(command)));
            }
            return commands;
        });
    d.localAddress = member<QString>(root, "localAddress", true, fileName,
        [&](const Json& v, const QString& where) { return expectString(v, fileName, where); });
    d.publicPage = member<QString>(root, "publicPage", true, fileName,
        [&](const Json& v, const QString& where) { return expectString(v, fileName, where); });
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
