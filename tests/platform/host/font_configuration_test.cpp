// SPDX-License-Identifier: MIT
// The font configuration read ahead at start must choose the faces that
// fontconfig's own start would choose: the user's rules, the metric aliases
// and the default families included.
#include "platform/host/font_configuration.h"

#include <gtest/gtest.h>

#include <string>

using namespace qni;

namespace {

std::string faceFor(FcConfig* config, const char* request)
{
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(request));
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcChar8* file = nullptr;
    std::string face = match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch
                           ? reinterpret_cast<const char*>(file)
                           : "(none)";
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return face;
}

} // namespace

TEST(FontConfiguration, ChoosesTheFacesFontconfigsOwnStartWould)
{
    FcConfig* read = readFontConfiguration();
    ASSERT_NE(read, nullptr);
    FcConfig* own = FcInitLoadConfigAndFonts();
    for (const char* request : {"Arial", "Arial:bold", "MS Sans Serif", "sans-serif", "serif", "monospace"})
        EXPECT_EQ(faceFor(read, request), faceFor(own, request)) << request;
    FcConfigDestroy(own);
    FcConfigDestroy(read);

    // Waiting makes it the current one, whether or not the other thread ran.
    FontConfigurationPreload preload;
    preload.wait();
    EXPECT_NE(faceFor(nullptr, "Arial"), "(none)");
}
