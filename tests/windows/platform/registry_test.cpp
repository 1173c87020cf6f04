// SPDX-License-Identifier: MIT
#include "platform/registry.h"
#include "windows_services.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

using namespace qni;

namespace {

constexpr wchar_t kTestKey[] = L"Software\\Quarn Network Information Tests";
const Text kTestPath = u"HKEY_CURRENT_USER\\Software\\Quarn Network Information Tests\\";

std::string failureOf(const RegistryShell& shell, const Text& path)
{
    try {
        shell.regRead(path);
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no failure";
}

} // namespace

TEST(WindowsRegistry, ReadsTheSystemsBuildNumberByEitherRootName)
{
    const auto shell = makeWindowsRegistry()->create();
    const Variant build = shell->regRead(Text(regpath::kCurrentBuildNumber));
    ASSERT_EQ(build.kind(), Variant::Kind::Text);
    EXPECT_GT(parseNumber(build.toText()), 2000);
    EXPECT_EQ(shell->regRead(u"hklm\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\CurrentBuildNumber"), build);
}

TEST(WindowsRegistry, EachTypeOfValueAsAScriptSeesIt)
{
    // In a key of the test's own, which it removes.
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    const auto set = [key](const wchar_t* name, DWORD type, const void* data, std::size_t size) {
        RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), DWORD(size));
    };
    set(L"sz", REG_SZ, L"Service Pack 3", 30);
    set(L"unterminated", REG_SZ, L"2600", 8);
    set(L"odd size", REG_SZ, L"ab", 5);
    set(nullptr, REG_SZ, L"default", 16);
    set(L"expand", REG_EXPAND_SZ, L"%SystemRoot%", 26);
    set(L"multi", REG_MULTI_SZ, L"one\0two\0\0", 20);
    set(L"multi unterminated", REG_MULTI_SZ, L"one\0two", 14);
    const DWORD dword = 0xFFFFFFFF;
    set(L"dword", REG_DWORD, &dword, sizeof dword);
    set(L"binary", REG_BINARY, "\x00\x7F\xFF", 3);
    const std::pair<const char16_t*, Variant> cases[] = {
        {u"sz", Variant::text(u"Service Pack 3")},
        {u"unterminated", Variant::text(u"2600")},
        {u"odd size", Variant::text(u"ab")},
        {u"", Variant::text(u"default")},
        {u"expand", Variant::text(u"%SystemRoot%")},
        {u"multi", Variant::array({u"one", u"two"})},
        {u"multi unterminated", Variant::array({u"one", u"two"})},
        {u"dword", Variant::number(4294967295.0)},
        {u"binary", Variant::array({u"0", u"127", u"255"})},
    };
    const auto shell = makeWindowsRegistry()->create();
    for (const auto& [name, value] : cases)
        EXPECT_EQ(shell->regRead(kTestPath + name), value) << toUtf8(name);
    EXPECT_EQ(shell->regRead(u"HKCU\\Software\\Quarn Network Information Tests\\SZ"), Variant::text(u"Service Pack 3"));
    RegCloseKey(key);
    RegDeleteKeyW(HKEY_CURRENT_USER, kTestKey);
}

TEST(WindowsRegistry, WhatDoesNotExistCannotBeRead)
{
    const auto shell = makeWindowsRegistry()->create();
    const Text paths[] = {
        u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NoSuchValue",
        u"HKEY_LOCAL_MACHINE\\SOFTWARE\\No Such Key\\BuildLab",
        u"HKEY_NOWHERE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\CurrentBuildNumber",
        u"CurrentBuildNumber",
        Text(u"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\CurrentBuildNumber\0x", 70),
    };
    for (const Text& path : paths) {
        const std::string expected = "Unable to open registry key \"" + toUtf8(path) + "\" for reading";
        EXPECT_EQ(failureOf(*shell, path), expected.substr(0, expected.find('\0'))); // what() ends at a NUL
    }
}
