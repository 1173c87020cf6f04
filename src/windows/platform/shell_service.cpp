// SPDX-License-Identifier: MIT
#include "windows_services.h"

#include "com_support.h"
#include "platform/shell.h"
#include "win_text.h"

#include <windows.h>
#include <shellapi.h>

namespace qni {

namespace {

// The desktop's handler for the address (the browser for a web address).
class WindowsShell final : public Shell {
public:
    void open(const Text& address) override
    {
        // An address the ANSI code page cannot hold would open as another.
        const std::optional<std::string> ansi = win::toAnsi(address);
        if (!ansi || ansi->empty())
            return;
        // Handlers may be shell extensions, which need COM on this thread.
        const win::ComApartment apartment;
        ShellExecuteA(nullptr, "open", ansi->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
};

} // namespace

std::shared_ptr<Shell> makeWindowsShell() { return std::make_shared<WindowsShell>(); }

} // namespace qni
