// SPDX-License-Identifier: MIT
#include "platform/host/curl_library.h"

#include "base/step_failed.h"

#include <string>

#include <dlfcn.h>

namespace qni {

namespace {

template <class Function>
void find(void* library, const char* libraryName, const char* symbol, Function& function)
{
    function = reinterpret_cast<Function>(::dlsym(library, symbol));
    if (!function)
        throw StepFailed(std::string(libraryName) + " has no function " + symbol);
}

CurlLibrary loadAndSetUp()
{
    CurlLibrary curl = loadCurlLibrary(kCurlLibraryName);
    // Once per process, before any other use.
    if (const CURLcode rc = curl.globalInit(CURL_GLOBAL_DEFAULT); rc != CURLE_OK)
        throw StepFailed(std::string("libcurl could not be initialised: ") + curl.easyStrerror(rc));
    return curl;
}

} // namespace

CurlLibrary loadCurlLibrary(const char* name)
{
    // Never unloaded: libcurl and the TLS library it brings keep process-wide
    // state.
    void* library = ::dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = ::dlerror();
        throw StepFailed(std::string(name) + " could not be loaded" + (why ? std::string(": ") + why : std::string()));
    }
    CurlLibrary c;
    find(library, name, "curl_global_init", c.globalInit);
    find(library, name, "curl_easy_init", c.easyInit);
    find(library, name, "curl_easy_cleanup", c.easyCleanup);
    find(library, name, "curl_easy_setopt", c.easySetopt);
    find(library, name, "curl_easy_getinfo", c.easyGetinfo);
    find(library, name, "curl_easy_strerror", c.easyStrerror);
    find(library, name, "curl_multi_init", c.multiInit);
    find(library, name, "curl_multi_cleanup", c.multiCleanup);
    find(library, name, "curl_multi_add_handle", c.multiAddHandle);
    find(library, name, "curl_multi_remove_handle", c.multiRemoveHandle);
    find(library, name, "curl_multi_perform", c.multiPerform);
    find(library, name, "curl_multi_poll", c.multiPoll);
    find(library, name, "curl_multi_info_read", c.multiInfoRead);
    find(library, name, "curl_multi_strerror", c.multiStrerror);
    return c;
}

const CurlLibrary& curlLibrary()
{
    // A static whose initialiser throws is tried again on the next call.
    static const CurlLibrary curl = loadAndSetUp();
    return curl;
}

} // namespace qni
