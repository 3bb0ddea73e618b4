#include "net/CurlLibrary.h"

#include "platform/SharedLibrary.h"

namespace net {

namespace {

const CurlLibrary* LoadCurl() {
    static platform::SharedLibrary library("libcurl.so.4");
    static CurlLibrary api{};
    const auto globalInit = library.Find<decltype(&curl_global_init)>("curl_global_init");
    api.EasyInit = library.Find<decltype(api.EasyInit)>("curl_easy_init");
    api.EasySetopt = library.Find<decltype(api.EasySetopt)>("curl_easy_setopt");
    api.EasyPerform = library.Find<decltype(api.EasyPerform)>("curl_easy_perform");
    api.EasyCleanup = library.Find<decltype(api.EasyCleanup)>("curl_easy_cleanup");
    api.SlistAppend = library.Find<decltype(api.SlistAppend)>("curl_slist_append");
    api.SlistFreeAll = library.Find<decltype(api.SlistFreeAll)>("curl_slist_free_all");
    const bool complete = globalInit != nullptr && api.EasyInit != nullptr &&
                          api.EasySetopt != nullptr && api.EasyPerform != nullptr &&
                          api.EasyCleanup != nullptr && api.SlistAppend != nullptr &&
                          api.SlistFreeAll != nullptr;
    if (!complete || globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        return nullptr;
    }
    return &api;
}

}  // namespace

const CurlLibrary* Curl() {
    // A function-local static: loaded once, even when two downloads start together.
    static const CurlLibrary* const api = LoadCurl();
    return api;
}

}  // namespace net
