// SPDX-License-Identifier: MIT
#include "console.h"

#include <windows.h>

namespace qni {

namespace {

// A program of the window subsystem gets no console of its own: when its
// handles were not redirected, it borrows the console of whoever started it.
HANDLE handleOf(Stream stream)
{
    const DWORD which = stream == Stream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE;
    HANDLE h = GetStdHandle(which);
    if (h == nullptr || h == INVALID_HANDLE_VALUE) {
        static const bool attached = AttachConsole(ATTACH_PARENT_PROCESS) != 0;
        if (!attached)
            return nullptr;
        h = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return nullptr;
        SetStdHandle(which, h);
    }
    return h;
}

bool isConsole(HANDLE h)
{
    DWORD mode = 0;
    return GetFileType(h) == FILE_TYPE_CHAR && GetConsoleMode(h, &mode);
}

bool writeAll(HANDLE h, const char* data, std::size_t size)
{
    while (size > 0) {
        DWORD written = 0;
        const DWORD chunk = size > 0x10000 ? 0x10000 : DWORD(size);
        if (!WriteFile(h, data, chunk, &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

} // namespace

bool writeText(Stream stream, const Text& text)
{
    const HANDLE h = handleOf(stream);
    if (!h)
        return false;
    if (!isConsole(h)) {
        const std::string bytes = toUtf8(text);
        return writeAll(h, bytes.data(), bytes.size());
    }
    for (std::size_t at = 0; at < text.size();) {
        DWORD written = 0;
        const DWORD chunk = text.size() - at > 0x4000 ? 0x4000 : DWORD(text.size() - at);
        if (!WriteConsoleW(h, reinterpret_cast<const wchar_t*>(text.data() + at), chunk, &written, nullptr) ||
            written == 0)
            return false;
        at += written;
    }
    return true;
}

bool writeBytes(Stream stream, const std::string& utf8)
{
    const HANDLE h = handleOf(stream);
    if (!h)
        return false;
    return isConsole(h) ? writeText(stream, fromUtf8(utf8)) : writeAll(h, utf8.data(), utf8.size());
}

} // namespace qni
