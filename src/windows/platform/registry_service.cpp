// SPDX-License-Identifier: MIT
// The shell object's RegRead: "<root>\<key path>\<value name>", a trailing
// backslash naming the key's default value.
#include "windows_services.h"

#include "base/step_failed.h"
#include "platform/registry.h"
#include "win_text.h"

#include <windows.h>

#include <vector>

namespace qni {

namespace {

struct Root {
    TextView name;
    TextView shortName;
    HKEY key;
};

const Root kRoots[] = {
    {u"HKEY_LOCAL_MACHINE", u"HKLM", HKEY_LOCAL_MACHINE}, {u"HKEY_CURRENT_USER", u"HKCU", HKEY_CURRENT_USER},
    {u"HKEY_CLASSES_ROOT", u"HKCR", HKEY_CLASSES_ROOT},   {u"HKEY_USERS", u"HKEY_USERS", HKEY_USERS},
    {u"HKEY_CURRENT_CONFIG", u"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
};

[[noreturn]] void cannotRead(const Text& path, LONG error)
{
    std::string message = "Unable to open registry key \"" + toUtf8(path) + "\" for reading";
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
        message += " (" + toUtf8(win::systemMessage(static_cast<unsigned long>(error))) + ")";
    throw StepFailed(message);
}

class Key {
public:
    ~Key()
    {
        if (key_)
            RegCloseKey(key_);
    }
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// Up to the first NUL, which ends the text whether or not the data holds
// its terminator.
Text textUpToNul(const wchar_t* chars, std::size_t count)
{
    const Text text = win::fromWide(chars, count);
    return text.substr(0, text.find(u'\0'));
}

Variant toVariant(DWORD type, const std::vector<BYTE>& data, const Text& path)
{
    const auto* chars = reinterpret_cast<const wchar_t*>(data.data());
    const std::size_t charCount = data.size() / sizeof(wchar_t);
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        return Variant::text(textUpToNul(chars, charCount));
    case REG_MULTI_SZ: {
        // The list ends at an empty string or at the end of the data.
        std::vector<Text> items;
        for (const Text& item : split(win::fromWide(chars, charCount), u'\0')) {
            if (item.empty())
                break;
            items.push_back(item);
        }
        return Variant::array(std::move(items));
    }
    case REG_DWORD:
    case REG_QWORD: {
        unsigned long long number = 0;
        for (std::size_t i = std::min<std::size_t>(data.size(), 8); i-- > 0;)
            number = (number << 8) | data[i];
        return Variant::number(double(number));
    }
    case REG_BINARY: {
        // A script sees the bytes as an array of numbers; its Join gives them
        // in decimal.
        std::vector<Text> bytes;
        for (const BYTE b : data)
            bytes.push_back(decimal(b));
        return Variant::array(std::move(bytes));
    }
    default:
        throw StepFailed("The registry value \"" + toUtf8(path) + "\" is of a type that cannot be read (" +
                         std::to_string(type) + ")");
    }
}

class WindowsRegistryShell final : public RegistryShell {
public:
    Variant regRead(const Text& path) const override
    {
        const std::size_t rootEnd = path.find(u'\\');
        const std::size_t valueStart = path.rfind(u'\\') + 1;
        const Root* root = nullptr;
        if (rootEnd != Text::npos) {
            const TextView rootName = TextView(path).substr(0, rootEnd);
            for (const Root& r : kRoots) {
                if (equalNoCase(rootName, r.name) || equalNoCase(rootName, r.shortName))
                    root = &r;
            }
        }
        // A NUL would end the name early, and another value would be read.
        if (!root || path.find(u'\0') != Text::npos)
            cannotRead(path, ERROR_FILE_NOT_FOUND);
        const Text keyPath = rootEnd + 1 < valueStart ? path.substr(rootEnd + 1, valueStart - rootEnd - 2) : Text();
        const Text valueName = path.substr(valueStart);

        // The machine's own view on 64-bit Windows, not the copy that the
        // 32-bit subsystem is redirected to: the values describe the system.
        // 32-bit Windows ignores the flag.
        Key key;
        LONG rc = RegOpenKeyExW(root->key, win::wide(keyPath), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.out());
        if (rc != ERROR_SUCCESS)
            cannotRead(path, rc);
        std::vector<BYTE> data(256);
        DWORD type = 0;
        // A value that grows between two calls only costs another round.
        for (int attempt = 0; attempt < 8; ++attempt) {
            DWORD size = DWORD(data.size());
            rc = RegQueryValueExW(key.get(), win::wide(valueName), nullptr, &type, data.data(), &size);
            if (rc == ERROR_MORE_DATA) {
                data.resize(size);
                continue;
            }
            if (rc == ERROR_SUCCESS)
                data.resize(size);
            break;
        }
        if (rc != ERROR_SUCCESS)
            cannotRead(path, rc);
        return toVariant(type, data, path);
    }
};

class WindowsRegistry final : public RegistryProvider {
public:
    std::unique_ptr<RegistryShell> create() const override { return std::make_unique<WindowsRegistryShell>(); }
};

} // namespace

std::shared_ptr<const RegistryProvider> makeWindowsRegistry() { return std::make_shared<WindowsRegistry>(); }

} // namespace qni
