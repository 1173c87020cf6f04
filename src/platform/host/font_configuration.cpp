// SPDX-License-Identifier: MIT
#include "platform/host/font_configuration.h"

#include <QtGlobal>

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
}

FontConfigurationPreload::~FontConfigurationPreload() { thread_.join(); }

void FontConfigurationPreload::wait() { std::call_once(loaded_, loadFontConfiguration); }

} // namespace qni
