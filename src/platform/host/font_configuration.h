// SPDX-License-Identifier: MIT
#pragma once

#include <fontconfig/fontconfig.h>

#include <mutex>
#include <thread>

namespace qni {

// The configuration fontconfig itself would read (FONTCONFIG_FILE and the
// user's own files included), fonts and all, less one step of its own start:
// parsing every rule that is available but not enabled, for the descriptions
// only configuration tools list. That step is half of its start on Debian.
// nullptr when anything is unusual (no configuration file, no cache
// directory, fontconfig's own debugging asked for): fontconfig's own start
// knows the fall-backs and warnings for those.
FcConfig* readFontConfiguration();

// Reads the host's font configuration on another core while the main thread
// loads Qt's platform plugin: the window's first line of text would otherwise
// wait for it, and it is most of what separates the window's start from that
// of a window without text. wait() before anything lays out or draws text.
// fontconfig reads environment variables on that thread, and the C library's
// setenv may free the table a getenv beside it is reading: construct it once
// the program has made its own changes to the environment, and change none
// until wait() has returned. It sets the locale from the environment first,
// as the application object does as it starts.
class FontConfigurationPreload {
public:
    FontConfigurationPreload();
    ~FontConfigurationPreload();
    FontConfigurationPreload(const FontConfigurationPreload&) = delete;
    FontConfigurationPreload& operator=(const FontConfigurationPreload&) = delete;

    // Returns once the configuration is read. When the other thread has not
    // started yet (a busy machine), reads it here instead of waiting for it.
    void wait();

private:
    std::once_flag loaded_;
    std::thread thread_;
};

} // namespace qni
