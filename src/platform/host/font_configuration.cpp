// SPDX-License-Identifier: MIT
#include "platform/host/font_configuration.h"

#include <QtGlobal>

#include <pthread.h>
#include <sched.h>

namespace qni {

FcConfig* readFontConfiguration()
{
    if (qEnvironmentVariableIsSet("FC_DEBUG"))
        return nullptr;
    FcConfig* config = FcConfigCreate();
    if (!config)
        return nullptr;
    bool usable = FcConfigParseAndLoad(config, nullptr, FcFalse);
    if (usable) {
        FcStrList* cacheDirs = FcConfigGetCacheDirs(config);
        usable = cacheDirs && FcStrListNext(cacheDirs);
        if (cacheDirs)
            FcStrListDone(cacheDirs);
    }
    if (usable && FcConfigBuildFonts(config))
        return config;
    FcConfigDestroy(config);
    return nullptr;
}

namespace {

void loadFontConfiguration()
{
    if (FcConfig* config = readFontConfiguration()) {
        // Becoming the current configuration takes a reference of its own.
        FcConfigSetCurrent(config);
        FcConfigDestroy(config);
    }
}

} // namespace

FontConfigurationPreload::FontConfigurationPreload()
    : thread_([this] { std::call_once(loaded_, loadFontConfiguration); })
{
    // Linux puts a new thread on its parent's core, where it waits until the
    // parent blocks: the reading would then come after Qt's loading, not
    // beside it. Any other core the process may use will do.
    cpu_set_t cores;
    const int here = sched_getcpu();
    if (here >= 0 && sched_getaffinity(0, sizeof cores, &cores) == 0 && CPU_ISSET(here, &cores) &&
        CPU_COUNT(&cores) > 1) {
        CPU_CLR(here, &cores);
        pthread_setaffinity_np(thread_.native_handle(), sizeof cores, &cores);
    }
}

FontConfigurationPreload::~FontConfigurationPreload() { thread_.join(); }

void FontConfigurationPreload::wait() { std::call_once(loaded_, loadFontConfiguration); }

} // namespace qni
