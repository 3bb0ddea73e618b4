#pragma once
// libcurl's functions that the download worker calls, from the library loaded at the first
// download (see platform/SharedLibrary.h for why it is not linked).
#include <curl/curl.h>

namespace net {

struct CurlLibrary {
    decltype(&curl_easy_init) EasyInit;
    decltype(&curl_easy_setopt) EasySetopt;
    decltype(&curl_easy_perform) EasyPerform;
    decltype(&curl_easy_cleanup) EasyCleanup;
    decltype(&curl_slist_append) SlistAppend;
    decltype(&curl_slist_free_all) SlistFreeAll;
};

// Loads and initialises libcurl at the first call, from any thread; null when it cannot be
// loaded (every download then fails as one that could not connect).
const CurlLibrary* Curl();

}  // namespace net
