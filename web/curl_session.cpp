#include "web/curl_session.h"

#include <array>
#include <cstdlib>
#include <mutex>

namespace yejian::web {
namespace {

// One mutex per kind of shared data, as libcurl locks them independently.
std::array<std::mutex, CURL_LOCK_DATA_LAST> share_locks;

void lock_shared(CURL*, curl_lock_data data, curl_lock_access, void*)
{
    share_locks[static_cast<std::size_t>(data)].lock();
}

void unlock_shared(CURL*, curl_lock_data data, void*)
{
    share_locks[static_cast<std::size_t>(data)].unlock();
}

CURLSH* make_share()
{
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
        return nullptr;
    CURLSH* share = curl_share_init();
    if (!share)
        return nullptr;
    curl_share_setopt(share, CURLSHOPT_LOCKFUNC, lock_shared);
    curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, unlock_shared);
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    // Cookies are deliberately not shared: libcurl's cookie engine stays off, the process's
    // own cookie store is the only one.
    return share;
}

} // namespace

CURLSH* curl_shared_state()
{
    static CURLSH* const share = make_share();
    return share;
}

} // namespace yejian::web
