// SPDX-License-Identifier: MIT
#include "platform/host/font_configuration.h"

#include <QByteArray>
#include <QtGlobal>

#include <clocale>

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
{
    // What Qt changes as it starts, beside the thread, made safe first. The
    // application object sets the locale from the environment, and fontconfig
    // reads numbers by the locale: the same locale, set now, changes nothing
    // then. Qt's X11 platform removes DESKTOP_STARTUP_ID, and removing a
    // variable moves every later one down the environment's table, under the
    // thread's reading: moved to the end first, its removal moves none.
    std::setlocale(LC_ALL, "");
    if (const QByteArray id = qgetenv("DESKTOP_STARTUP_ID"); !id.isNull()) {
        qunsetenv("DESKTOP_STARTUP_ID");
        qputenv("DESKTOP_STARTUP_ID", id);
    }
    thread_ = std::thread([this] { std::call_once(loaded_, loadFontConfiguration); });
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
