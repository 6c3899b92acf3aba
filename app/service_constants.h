#pragma once
// Build-time constants of the service. The host is the one host every request goes to:
// "https://" for the sign-in, "http://" for everything else. The ".example" names are
// reserved, so no real service, group or person is ever reached by accident; the local
// stand-in answers for the host when YEJIAN_CONNECT_TO reroutes connections to it.

namespace yejian::service {

inline constexpr const char* host = "yejian.example";

// The source link every pin receives.
inline constexpr const char* default_source_link = "https://yejian.example/uploader/";

// The users' feedback group: its number (fictional: real group numbers never begin with 0)
// and the link that joins it, opened by the feedback labels of both windows.
inline constexpr const char* feedback_group_number = "012345678";
inline constexpr const char* join_link = "https://yejian.example/groups/012345678/join";

} // namespace yejian::service
