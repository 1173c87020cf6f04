// SPDX-License-Identifier: MIT
// libcurl is looked up when a page is first fetched: a missing library or
// function must be a failed fetch that says what is missing.
#include "base/step_failed.h"
#include "platform/host/curl_library.h"

#include <gtest/gtest.h>

#include <string>

using namespace qni;

TEST(CurlLibrary, LoadsOrNamesWhatIsMissing)
{
    struct Case {
        const char* library;
        std::string failure; // empty: loads; else words the reason must hold
        std::string also;
    };
    const Case cases[] = {
        {kCurlLibraryName, "", ""},
        {"libqni-absent.so.9", "libqni-absent.so.9", "could not be loaded"},
        {"libc.so.6", "libc.so.6", "curl_global_init"},
    };
    for (const Case& c : cases) {
        try {
            const CurlLibrary curl = loadCurlLibrary(c.library);
            EXPECT_TRUE(c.failure.empty()) << c.library;
            EXPECT_TRUE(curl.globalInit && curl.easySetopt && curl.multiPoll && curl.multiStrerror) << c.library;
        } catch (const StepFailed& e) {
            const std::string why = e.what();
            EXPECT_NE(why.find(c.failure), std::string::npos) << c.library << ": " << why;
            EXPECT_NE(why.find(c.also), std::string::npos) << c.library << ": " << why;
            EXPECT_FALSE(c.failure.empty()) << c.library << ": " << why;
        }
    }
    EXPECT_NO_THROW(curlLibrary());
}
