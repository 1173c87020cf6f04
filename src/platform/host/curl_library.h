// SPDX-License-Identifier: MIT
#pragma once

#include <curl/curl.h>

namespace qni {

// The libcurl functions the page fetch uses, looked up at run time: the
// library and the two dozen it depends on are loaded when a page is first
// fetched, not at every start of the program.
struct CurlLibrary {
    decltype(&curl_global_init) globalInit = nullptr;
    decltype(&curl_easy_init) easyInit = nullptr;
    decltype(&curl_easy_cleanup) easyCleanup = nullptr;
    decltype(&curl_easy_setopt) easySetopt = nullptr;
    decltype(&curl_easy_getinfo) easyGetinfo = nullptr;
    decltype(&curl_easy_strerror) easyStrerror = nullptr;
    decltype(&curl_multi_init) multiInit = nullptr;
    decltype(&curl_multi_cleanup) multiCleanup = nullptr;
    decltype(&curl_multi_add_handle) multiAddHandle = nullptr;
    decltype(&curl_multi_remove_handle) multiRemoveHandle = nullptr;
    decltype(&curl_multi_perform) multiPerform = nullptr;
    decltype(&curl_multi_poll) multiPoll = nullptr;
    decltype(&curl_multi_info_read) multiInfoRead = nullptr;
    decltype(&curl_multi_strerror) multiStrerror = nullptr;
};

inline constexpr const char* kCurlLibraryName = "libcurl.so.4";

// Loads the named library and finds every function in it. Throws StepFailed
// naming the library (and the function, when one is missing).
CurlLibrary loadCurlLibrary(const char* name);

// libcurl.so.4, loaded and set up once per process. Throws StepFailed as
// above; a later call tries again.
const CurlLibrary& curlLibrary();

} // namespace qni
