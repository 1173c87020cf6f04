// SPDX-License-Identifier: MIT
#include "described/machine_description.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <set>
#include <string>
#include <system_error>
#include <unordered_set>
#include <vector>

namespace qni {

namespace {

using Json = nlohmann::json;

constexpr std::size_t kMaxDescriptionBytes = 64 * 1024 * 1024;
// Far deeper than any description can be; the walk and the parser's stack
// stay small whatever a file holds.
constexpr int kMaxDepth = 256;
// A syntax error quotes what was last read, which may be a whole long string.
constexpr std::size_t kMaxReasonLength = 200;

[[noreturn]] void fail(const Text& fileName, const Text& fault)
{
    // The report is one line, whatever control characters the file's name or
    // its member names hold.
    Text message = fileName + u": " + fault;
    for (char16_t& c : message) {
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
            c = u'?';
    }
    throw DescriptionError(toUtf8(message));
}

Text quoted(const Text& s) { return u'"' + s + u'"'; }

Text text(const std::string& s) { return fromUtf8(s); }

Text number(long long n) { return decimal(n); }

// Names that match without regard to case must not be given twice: one of
// the two would be silently left unused.
void claimName(std::set<Text>& seen, const Text& name, const Text& fileName, const Text& where)
{
    if (!seen.insert(lowered(name)).second)
        fail(fileName, where + u": named twice (names match without regard to case)");
}

// A parser that keeps the last of two equal names would drop the first
// without a word, so the parse watches every object's names itself.
class DuplicateWatch {
public:
    explicit DuplicateWatch(const Text& fileName) : fileName_(fileName) {}

    bool operator()(int depth, Json::parse_event_t event, const Json& parsed)
    {
        switch (event) {
        case Json::parse_event_t::object_start:
        case Json::parse_event_t::array_start:
            if (depth >= kMaxDepth)
                fail(fileName_, u"too deeply nested");
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
                fail(fileName_, place() + u": given twice");
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
        long long index;
        std::string key;
        std::unordered_set<std::string> names;
    };

    void countElement()
    {
        if (!levels_.empty() && levels_.back().array)
            ++levels_.back().index;
    }

    // "management"."Win32_Processor"[0]."Name", as the other faults name places.
    Text place() const
    {
        Text where;
        for (const Level& level : levels_) {
            if (level.array)
                where += u'[' + number(level.index) + u']';
            else
                where += (where.empty() ? Text() : Text(u".")) + quoted(text(level.key));
        }
        return where;
    }

    const Text& fileName_;
    std::vector<Level> levels_;
};

// Descriptions have always been taken with raw control characters inside
// strings (a recorded output pasted with its tabs and line breaks); the
// parser wants them escaped. starts holds where each escape begins, so that
// an error's place can be told in the file's own bytes.
std::string escapeControlsInStrings(std::string_view bytes, std::vector<std::size_t>& starts)
{
    std::string out;
    out.reserve(bytes.size());
    bool inString = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (inString && static_cast<unsigned char>(c) < 0x20) {
            starts.push_back(out.size());
            static constexpr char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[(c >> 4) & 0xF];
            out += kHex[c & 0xF];
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

long long originalOffset(long long offset, const std::vector<std::size_t>& starts)
{
    constexpr long long kGrowth = 5; // one byte became six
    const auto before = std::lower_bound(starts.begin(), starts.end(), std::size_t(std::max(0LL, offset))) - starts.begin();
    return offset - kGrowth * before;
}

Json parseJson(std::string_view original, const Text& fileName)
{
    std::vector<std::size_t> starts;
    const std::string bytes = escapeControlsInStrings(original, starts);
    try {
        return Json::parse(bytes.cbegin(), bytes.cend(), DuplicateWatch(fileName));
    } catch (const Json::parse_error& e) {
        // The parser's own message repeats its line and column after a prefix.
        Text reason = fromUtf8(e.what());
        if (const std::size_t at = reason.find(u"column "); at != Text::npos) {
            if (const std::size_t colon = reason.find(u": ", at); colon != Text::npos)
                reason = reason.substr(colon + 2);
        }
        if (reason.size() > kMaxReasonLength)
            reason = reason.substr(0, kMaxReasonLength) + u"...";
        const auto offset = std::size_t(
            std::clamp<long long>(originalOffset((long long)e.byte - 1, starts), 0, (long long)original.size()));
        const std::string_view before = original.substr(0, offset);
        const auto line = (long long)std::count(before.begin(), before.end(), '\n') + 1;
        const std::size_t lastBreak = before.rfind('\n');
        const auto column = (long long)(offset - (lastBreak == std::string_view::npos ? 0 : lastBreak + 1)) + 1;
        fail(fileName, u"line " + number(line) + u", column " + number(column) + u": " + reason);
    } catch (const Json::exception& e) {
        fail(fileName, fromUtf8(e.what()));
    }
}

// A property or registry value: string, number, boolean (management only),
// null, or an array of strings.
Variant toVariant(const Json& v, bool allowBoolean, const Text& fileName, const Text& where)
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
        std::vector<Text> items;
        for (const Json& item : v) {
            if (!item.is_string())
                fail(fileName, where + u": an array must hold only strings");
            items.push_back(text(item.get_ref<const std::string&>()));
        }
        return Variant::array(items);
    }
    fail(fileName, where + (allowBoolean
                                ? u": expected a string, number, boolean, null or array of strings"
                                : u": expected a string, number, null or array of strings"));
}

template <class T, class Fill>
Described<T> member(const Json& root, const char* name, bool nullable, const Text& fileName, Fill fill)
{
    Described<T> d;
    const auto it = root.find(name);
    if (it == root.end())
        return d;
    const Text where = quoted(fromLatin1(name));
    if (it->is_null()) {
        if (!nullable)
            fail(fileName, where + u": must not be null");
        d.state = Described<T>::State::Null;
        return d;
    }
    d.state = Described<T>::State::Given;
    d.value = fill(*it, where);
    return d;
}

const Json& expectObject(const Json& v, const Text& fileName, const Text& where)
{
    if (!v.is_object())
        fail(fileName, where + u": expected an object");
    return v;
}

Text expectString(const Json& v, const Text& fileName, const Text& where)
{
    if (!v.is_string())
        fail(fileName, where + u": expected a string");
    return text(v.get_ref<const std::string&>());
}

} // namespace

MachineDescription parseMachineDescription(std::string_view json, const Text& fileName)
{
    const Json root = parseJson(json, fileName);
    if (!root.is_object())
        fail(fileName, u"expected a JSON object at the top level");

    static const std::vector<Text> kMembers = {u"registry", u"management", u"commands", u"localAddress",
                                               u"publicPage"};
    for (const auto& [key, value] : root.items()) {
        if (std::find(kMembers.begin(), kMembers.end(), text(key)) == kMembers.end())
            fail(fileName, u"unknown member " + quoted(text(key)) + u" (expected one of " + join(kMembers, u", ") + u')');
    }

    MachineDescription d;
    d.fileName = fileName;
    d.registry = member<ValueMap<Variant>>(root, "registry", true, fileName,
        [&](const Json& v, const Text& where) {
            ValueMap<Variant> values;
            std::set<Text> seen;
            for (const auto& [key, value] : expectObject(v, fileName, where).items()) {
                const Text name = text(key);
                const Text valueWhere = where + u'.' + quoted(name);
                claimName(seen, name, fileName, valueWhere);
                values.emplace(lowered(name), toVariant(value, false, fileName, valueWhere));
            }
            return values;
        });
    d.management = member<ValueMap<ManagementCollection>>(root, "management", true, fileName,
        [&](const Json& v, const Text& where) {
            ValueMap<ManagementCollection> classes;
            std::set<Text> seenClasses;
            for (const auto& [key, array] : expectObject(v, fileName, where).items()) {
                const Text className = text(key);
                const Text classWhere = where + u'.' + quoted(className);
                claimName(seenClasses, className, fileName, classWhere);
                if (!array.is_array())
                    fail(fileName, classWhere + u": expected an array of instances");
                ManagementCollection instances;
                for (size_t i = 0; i < array.size(); ++i) {
                    const Text instWhere = classWhere + u'[' + number((long long)i) + u']';
                    ManagementObject object;
                    std::set<Text> seenProperties;
                    for (const auto& [property, value] : expectObject(array[i], fileName, instWhere).items()) {
                        const Text propertyName = text(property);
                        const Text propertyWhere = instWhere + u'.' + quoted(propertyName);
                        claimName(seenProperties, propertyName, fileName, propertyWhere);
                        object.properties.emplace_back(propertyName, toVariant(value, true, fileName, propertyWhere));
                    }
                    instances.push_back(std::move(object));
                }
                classes.emplace(lowered(className), std::move(instances));
            }
            return classes;
        });
    d.commands = member<ValueMap<Text>>(root, "commands", false, fileName,
        [&](const Json& v, const Text& where) {
            ValueMap<Text> commands;
            for (const auto& [key, value] : expectObject(v, fileName, where).items()) {
                const Text command = text(key);
                commands.emplace(command, expectString(value, fileName, where + u'.' + quoted(command)));
            }
            return commands;
        });
    d.localAddress = member<Text>(root, "localAddress", true, fileName,
        [&](const Json& v, const Text& where) { return expectString(v, fileName, where); });
    d.publicPage = member<Text>(root, "publicPage", true, fileName,
        [&](const Json& v, const Text& where) { return expectString(v, fileName, where); });
    return d;
}

MachineDescription loadMachineDescription(const std::filesystem::path& path)
{
    const Text name = fromUtf8(std::string_view(reinterpret_cast<const char*>(path.u8string().c_str())));
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        fail(name, u"no such file");
    if (status.type() == std::filesystem::file_type::directory)
        fail(name, u"is a directory, not a machine description");
    // Opening a FIFO would wait for a writer, and a device may never end.
    if (status.type() != std::filesystem::file_type::regular)
        fail(name, ec ? u"cannot be read: " + fromUtf8(ec.message()) : Text(u"is not a regular file"));
    std::ifstream file(path, std::ios::binary);
    if (!file)
        fail(name, u"cannot be read");
    // Read in pieces up to one byte past the limit: a buffer of the limit's
    // size would cost every small file its whole size in memory.
    std::string bytes;
    char piece[64 * 1024];
    while (bytes.size() <= kMaxDescriptionBytes && file.read(piece, sizeof piece).gcount() > 0)
        bytes.append(piece, std::size_t(file.gcount()));
    if (file.bad())
        fail(name, u"cannot be read");
    if (bytes.size() > kMaxDescriptionBytes)
        fail(name, u"larger than " + number((long long)kMaxDescriptionBytes) + u" bytes");
    return parseMachineDescription(bytes, name);
}

} // namespace qni
