#pragma once

#include "support/DynamicLibrary.h"

#include <curl/curl.h>

namespace Vellmar {

// libcurl, loaded when the first transfer needs it rather than at every start: its TLS,
// Kerberos, LDAP and SSH dependencies are costly to map. The members are the library's own
// functions under their own names.
class CurlLibrary : public DynamicLibrary {
public:
    // The process-wide instance, loaded and globally initialised once, safe against concurrent
    // first use. It stays loaded until exit because the TLS libraries behind it register exit
    // handlers. Throws Win32::LinkageError (or LoadProcError) when libcurl cannot be loaded;
    // a later call tries again.
    static const CurlLibrary& Instance();

    // What curl_global_init answered when the library was loaded.
    CURLcode GlobalInitResult() const { return globalInitResult; }

    decltype(&::curl_global_init) curl_global_init = nullptr;
    decltype(&::curl_easy_init) curl_easy_init = nullptr;
    decltype(&::curl_easy_setopt) curl_easy_setopt = nullptr;
    decltype(&::curl_easy_getinfo) curl_easy_getinfo = nullptr;
    decltype(&::curl_easy_cleanup) curl_easy_cleanup = nullptr;
    decltype(&::curl_easy_strerror) curl_easy_strerror = nullptr;
    decltype(&::curl_multi_init) curl_multi_init = nullptr;
    decltype(&::curl_multi_add_handle) curl_multi_add_handle = nullptr;
    decltype(&::curl_multi_remove_handle) curl_multi_remove_handle = nullptr;
    decltype(&::curl_multi_perform) curl_multi_perform = nullptr;
    decltype(&::curl_multi_poll) curl_multi_poll = nullptr;
    decltype(&::curl_multi_info_read) curl_multi_info_read = nullptr;
    decltype(&::curl_multi_cleanup) curl_multi_cleanup = nullptr;
    decltype(&::curl_slist_append) curl_slist_append = nullptr;
    decltype(&::curl_slist_free_all) curl_slist_free_all = nullptr;
    decltype(&::curl_url) curl_url = nullptr;
    decltype(&::curl_url_set) curl_url_set = nullptr;
    decltype(&::curl_url_get) curl_url_get = nullptr;
    decltype(&::curl_url_cleanup) curl_url_cleanup = nullptr;
    decltype(&::curl_url_strerror) curl_url_strerror = nullptr;
    decltype(&::curl_free) curl_free = nullptr;

private:
    CurlLibrary();

    CURLcode globalInitResult = CURLE_FAILED_INIT;
};

} // namespace Vellmar
