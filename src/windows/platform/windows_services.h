// SPDX-License-Identifier: MIT
// The Windows services one by one, for the platform and for tests.
#pragma once

#include "base/text.h"

#include <chrono>
#include <memory>
#include <string_view>

namespace qni {

class ManagementProvider;
class RegistryProvider;
class ProcessService;
class OutputDecoder;
class WindowService;
class Sockets;
class Internet;
class Shell;

std::shared_ptr<const ManagementProvider> makeWindowsManagement();
std::shared_ptr<const RegistryProvider> makeWindowsRegistry();
std::shared_ptr<ProcessService> makeWindowsProcessService();
// Console output in the code page, a double-byte character split between
// two reads coming out whole.
std::unique_ptr<OutputDecoder> makeCodePageOutputDecoder(unsigned codePage);
std::shared_ptr<WindowService> makeWindowsWindowService();
std::shared_ptr<Sockets> makeWindowsSockets();
// The fetch with its whole-fetch limit (the program's is ten seconds).
std::shared_ptr<Internet> makeWindowsInternet(std::chrono::milliseconds limit = std::chrono::seconds(10));
std::shared_ptr<Shell> makeWindowsShell();

// A page's bytes as text by the charset its Content-Type names: UTF-8,
// Latin-1 and ASCII, and the code pages Windows has; UTF-8, whose bad bytes
// become U+FFFD, when none is named or the name is not known here.
Text decodePage(std::string_view body, TextView contentType);

} // namespace qni
