// SPDX-License-Identifier: MIT
#include "base/ip_address.h"

namespace qni {

namespace {

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isHexDigit(char16_t c)
{
    return isDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool isSpace(char16_t c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

bool isOctet(std::u16string_view part)
{
    if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == u'0'))
        return false;
    unsigned value = 0;
    for (const char16_t c : part) {
        if (!isDigit(c))
            return false;
        value = value * 10 + unsigned(c - u'0');
    }
    return value <= 255;
}

bool isGroup(std::u16string_view part)
{
    if (part.empty() || part.size() > 4)
        return false;
    for (const char16_t c : part)
        if (!isHexDigit(c))
            return false;
    return true;
}

// The groups of one side of "::" (all of the address when there is none), or
// -1. Only the part that ends the text may be dotted IPv4, worth two groups.
int groupCount(std::u16string_view side, bool endsAddress)
{
    if (side.empty())
        return 0;
    int groups = 0;
    for (;;) {
        const size_t colon = side.find(u':');
        const std::u16string_view part = side.substr(0, colon);
        if (colon == std::u16string_view::npos) {
            if (endsAddress && part.find(u'.') != std::u16string_view::npos)
                return isIpv4Address(part) ? groups + 2 : -1;
            return isGroup(part) ? groups + 1 : -1;
        }
        if (!isGroup(part))
            return -1;
        ++groups;
        side.remove_prefix(colon + 1);
    }
}

} // namespace

bool isIpv4Address(std::u16string_view text)
{
    for (int part = 0; part < 4; ++part) {
        const size_t dot = text.find(u'.');
        if ((dot == std::u16string_view::npos) != (part == 3) || !isOctet(text.substr(0, dot)))
            return false;
        text.remove_prefix(part == 3 ? text.size() : dot + 1);
    }
    return true;
}

bool isIpv6Address(std::u16string_view text)
{
    const size_t gap = text.find(u"::");
    if (gap == std::u16string_view::npos)
        return groupCount(text, true) == 8;
    const std::u16string_view tail = text.substr(gap + 2);
    if (tail.find(u"::") != std::u16string_view::npos)
        return false;
    const int head = groupCount(text.substr(0, gap), false);
    const int rest = groupCount(tail, true);
    // "::" stands for at least one group.
    return head >= 0 && rest >= 0 && head + rest <= 7;
}

bool isIpAddress(std::u16string_view text)
{
    return isIpv4Address(text) || isIpv6Address(text);
}

std::u16string_view trimmedAsciiSpace(std::u16string_view text)
{
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace qni
