#pragma once
// The service's routes, installed on the HTTPS and the HTTP server alike:
//   POST /auth/                      sign-in form; starts a session with several cookies
//   GET  /<urlname>/                 the user page; boards only with the account's session
//   POST /upload/                    multipart upload of one file; answers {"id": ...}
//   POST /pins/                      makes a pin of an uploaded file on one of the boards
//   POST /pins/<pin id>/             sets a pin's board, text and source link
//   GET  /                           overview page of every board with its pins
//   GET  /files/<file id>            the bytes of an uploaded file
// Every POST body is read through the library's content reader, so a fault can cut a request
// short and an upload goes to disk as it arrives.

#include "standin/accounts.h"
#include "standin/fault_switches.h"
#include "standin/service_state.h"

#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace yejian::standin {

class ServiceRoutes {
public:
    ServiceRoutes(const AccountBook& accounts, ServiceState& state, FaultSwitches& faults);

    void install(httplib::Server& server);
    // Ends every fault delay at once, so the servers can stop.
    void cancel_delays();

private:
    struct PostBody;
    enum class AnswerKind { json, html };

    void handle_post(const httplib::Request& request, httplib::Response& response,
                     const httplib::ContentReader& reader);
    bool read_body(const httplib::Request& request, const httplib::ContentReader& reader, PostBody& body);
    // Applies delay, drop, error_500 and not_json; true when the request is answered by them.
    bool apply_faults(const httplib::Request& request, httplib::Response& response,
                      const std::optional<std::string>& file_name, AnswerKind kind);
    void apply_huge(const httplib::Request& request, httplib::Response& response,
                    const std::optional<std::string>& file_name);
    std::optional<std::string> session_account(const httplib::Request& request) const;
    const Account* signed_in_account(const httplib::Request& request) const;

    void sign_in(const httplib::Request& request, httplib::Response& response, PostBody& body);
    void upload(const httplib::Request& request, httplib::Response& response, PostBody& body);
    void create_pin(const httplib::Request& request, httplib::Response& response, PostBody& body);
    void edit_pin(const httplib::Request& request, httplib::Response& response, PostBody& body,
                  std::int64_t pin_id);
    void user_page(const httplib::Request& request, httplib::Response& response);
    void serve_file(const httplib::Request& request, httplib::Response& response);

    const AccountBook& accounts_;
    ServiceState& state_;
    FaultSwitches& faults_;
    std::mutex delay_mutex_;
    std::condition_variable delay_end_;
    bool delays_cancelled_ = false;
};

} // namespace yejian::standin
