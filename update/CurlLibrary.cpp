#include "update/CurlLibrary.h"

namespace Vellmar {

CurlLibrary::CurlLibrary() : DynamicLibrary(L"libcurl.so.4") {
    bind(curl_global_init, "curl_global_init");
    bind(curl_easy_init, "curl_easy_init");
    bind(curl_easy_setopt, "curl_easy_setopt");
    bind(curl_easy_getinfo, "curl_easy_getinfo");
    bind(curl_easy_cleanup, "curl_easy_cleanup");
    bind(curl_easy_strerror, "curl_easy_strerror");
    bind(curl_multi_init, "curl_multi_init");
    bind(curl_multi_add_handle, "curl_multi_add_handle");
    bind(curl_multi_remove_handle, "curl_multi_remove_handle");
    bind(curl_multi_perform, "curl_multi_perform");
    bind(curl_multi_poll, "curl_multi_poll");
    bind(curl_multi_info_read, "curl_multi_info_read");
    bind(curl_multi_cleanup, "curl_multi_cleanup");
    bind(curl_slist_append, "curl_slist_append");
    bind(curl_slist_free_all, "curl_slist_free_all");
    bind(curl_url, "curl_url");
    bind(curl_url_set, "curl_url_set");
    bind(curl_url_get, "curl_url_get");
    bind(curl_url_cleanup, "curl_url_cleanup");
    bind(curl_url_strerror, "curl_url_strerror");
    bind(curl_free, "curl_free");
    // Last, once everything is bound: a failed load must not leave initialised state behind.
    globalInitResult = curl_global_init(CURL_GLOBAL_DEFAULT);
}

const CurlLibrary& CurlLibrary::Instance() {
    // Never deleted: unloading would pull code from under libcurl's exit handlers. A throwing
    // constructor leaves the static uninitialised, so the next caller retries.
    static const CurlLibrary* const instance = new CurlLibrary();
    return *instance;
}

} // namespace Vellmar
