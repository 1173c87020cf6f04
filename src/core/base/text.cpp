// SPDX-License-Identifier: MIT
#include "base/text.h"

#include "base/step_failed.h"

#include <algorithm>

namespace qni {

Text fromUtf8(std::string_view bytes)
{
    Text out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x80) {
            out.push_back(b);
            ++p;
            continue;
        }
        // The sequence's length, the least value it may encode, and the
        // bounds of its second byte (which rule out overlong forms and
        // surrogates early, as the Unicode standard's table does).
        int length = 0;
        char32_t cp = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
            cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            cp = b & 0x0F;
            lo = b == 0xE0 ? 0xA0 : 0x80;
            hi = b == 0xED ? 0x9F : 0xBF;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            cp = b & 0x07;
            lo = b == 0xF0 ? 0x90 : 0x80;
            hi = b == 0xF4 ? 0x8F : 0xBF;
        }
        int taken = 1;
        bool ok = length > 0;
        for (; ok && taken < length; ++taken) {
            if (p + taken >= end)
                ok = false;
            else {
                const unsigned char c = p[taken];
                const bool inRange = taken == 1 ? (c >= lo && c <= hi) : (c >= 0x80 && c <= 0xBF);
                if (!inRange)
                    ok = false;
                else
                    cp = (cp << 6) | (c & 0x3F);
            }
        }
        if (!ok) {
            // The maximal valid prefix is one replacement character.
            out.push_back(u'\uFFFD');
            p += std::max(1, taken - 1);
            continue;
        }
        p += length;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
    }
    return out;
}

std::string toUtf8(TextView text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(char(cp));
        } else if (cp < 0x800) {
            out.push_back(char(0xC0 | (cp >> 6)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(char(0xE0 | (cp >> 12)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (cp >> 18)));
            out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

Text fromLatin1(std::string_view bytes)
{
    Text out(bytes.size(), u'\0');
    std::transform(bytes.begin(), bytes.end(), out.begin(), [](char c) { return char16_t(static_cast<unsigned char>(c)); });
    return out;
}

std::size_t findFrom(TextView text, TextView find, std::size_t start)
{
    if (start < 1 || start > text.size() + 1)
        return 0;
    const std::size_t at = text.find(find, start - 1);
    return at == TextView::npos ? 0 : at + 1;
}

Text middle(TextView text, std::size_t start, std::size_t length)
{
    if (start < 1 || start > text.size())
        return Text();
    return Text(text.substr(start - 1, length));
}

char16_t lowerLetter(char16_t c)
{
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return char16_t(c + 0x20);
    return c;
}

Text lowered(TextView text)
{
    Text out(text);
    std::transform(out.begin(), out.end(), out.begin(), lowerLetter);
    return out;
}

bool equalNoCase(TextView a, TextView b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return lowerLetter(x) == lowerLetter(y); });
}

bool isBlank(char16_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680
        || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F
        || c == 0x3000;
}

TextView trimmed(TextView text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

Text join(const std::vector<Text>& parts, TextView separator)
{
    Text out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i)
            out += separator;
        out += parts[i];
    }
    return out;
}

std::vector<Text> split(TextView text, char16_t separator)
{
    std::vector<Text> parts;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(separator, from);
        parts.emplace_back(text.substr(from, at == TextView::npos ? TextView::npos : at - from));
        if (at == TextView::npos)
            return parts;
        from = at + 1;
    }
}

std::size_t countOf(TextView text, char16_t c)
{
    return std::size_t(std::count(text.begin(), text.end(), c));
}

Text replaced(TextView text, TextView from, TextView to)
{
    if (from.empty())
        return Text(text);
    Text out;
    std::size_t pos = 0;
    for (std::size_t at; (at = text.find(from, pos)) != TextView::npos; pos = at + from.size()) {
        out += text.substr(pos, at - pos);
        out += to;
    }
    out += text.substr(pos);
    return out;
}

Text decimal(long long value)
{
    const std::string s = std::to_string(value);
    return fromLatin1(s);
}

Text because(TextView what, TextView why)
{
    why = trimmed(why);
    if (!why.empty() && why.back() == u'.')
        why.remove_suffix(1);
    if (why.empty())
        return Text(what);
    Text reason(why);
    const TextView firstWord = why.substr(0, why.find(u' '));
    const TextView rest = firstWord.substr(1);
    if (rest == lowered(rest))
        reason[0] = lowerLetter(reason[0]);
    return Text(what) + u" (" + reason + u')';
}

Text because(TextView what, const std::exception& failure)
{
    return because(what, fromUtf8(failure.what()));
}

} // namespace qni
