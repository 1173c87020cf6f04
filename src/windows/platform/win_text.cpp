// SPDX-License-Identifier: MIT
#include "win_text.h"

#include <windows.h>

#include <cwchar>

namespace qni::win {

Text fromWide(const wchar_t* s) { return s ? fromWide(s, std::wcslen(s)) : Text(); }

std::optional<std::string> toAnsi(TextView text)
{
    if (text.find(u'\0') != TextView::npos)
        return std::nullopt;
    if (text.empty())
        return std::string();
    const auto* source = reinterpret_cast<const wchar_t*>(text.data());
    const int length = int(text.size());
    // UTF-8 as the ANSI code page (a choice of later Windows) has a form for
    // everything, and refuses the flags and the default character.
    const UINT codePage = GetACP();
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL substituted = FALSE;
    BOOL* const substitutedOut = utf8 ? nullptr : &substituted;
    const int size = WideCharToMultiByte(codePage, flags, source, length, nullptr, 0, nullptr, substitutedOut);
    if (size <= 0 || substituted)
        return std::nullopt;
    std::string bytes(std::size_t(size), '\0');
    WideCharToMultiByte(codePage, flags, source, length, bytes.data(), size, nullptr, substitutedOut);
    if (substituted)
        return std::nullopt;
    return bytes;
}

Text fromCodePage(unsigned codePage, std::string_view bytes)
{
    if (bytes.empty())
        return Text();
    const int size = MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    if (size <= 0)
        return Text();
    std::wstring out(std::size_t(size), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), out.data(), size);
    return fromWide(out.data(), out.size());
}

Text systemMessage(unsigned long error)
{
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
        0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    Text message = length ? fromWide(buffer, length) : Text();
    if (buffer)
        LocalFree(buffer);
    message = Text(trimmed(message));
    return message.empty() ? u"error " + decimal(static_cast<long long>(error)) : message;
}

Text hex(unsigned long value)
{
    static const char16_t digits[] = u"0123456789ABCDEF";
    Text out = u"0x";
    for (int shift = 28; shift >= 0; shift -= 4)
        out += digits[(value >> shift) & 0xF];
    return out;
}

} // namespace qni::win
