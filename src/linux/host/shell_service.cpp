// SPDX-License-Identifier: MIT
#include "host/host_platform.h"
#include "host/qt_text.h"
#include "platform/shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace qni {

namespace {

// The desktop opens the address with its own handler (xdg-open on Linux): no
// parameters, no working directory. Whether it succeeded is nobody's concern.
class HostShell final : public Shell {
public:
    void open(const Text& address) override { QDesktopServices::openUrl(QUrl(toQt(address))); }
};

} // namespace

std::shared_ptr<Shell> makeHostShell() { return std::make_shared<HostShell>(); }

} // namespace qni
