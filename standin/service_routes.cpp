#include "standin/service_routes.h"

#include "standin/digest.h"
#include "standin/form_fields.h"
#include "standin/json_text.h"
#include "standin/pages.h"
#include "standin/recording_server.h"

#include <charconv>
#include <chrono>
#include <fstream>
#include <memory>

namespace yejian::standin {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t form_body_limit = 1024 * 1024;
constexpr std::size_t form_field_limit = 64 * 1024;
constexpr const char* html_type = "text/html; charset=utf-8";
// Without a charset parameter the library compresses JSON answers for clients that accept
// gzip, as the real service does.
constexpr const char* json_type = "application/json";

std::int64_t now_seconds()
{
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void answer_json(httplib::Response& response, int status, const Json& value)
{
    response.status = status;
    response.set_content(json_text(value), json_type);
}

void answer_refusal(httplib::Response& response, int status, const char* message)
{
    answer_json(response, status, Json{{"err", status}, {"msg", message}});
}

std::optional<std::int64_t> whole_number(const std::optional<std::string>& text)
{
    if (!text || text->empty())
        return std::nullopt;
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc() || end != text->data() + text->size())
        return std::nullopt;
    return value;
}

std::string cookie_value(const httplib::Request& request, std::string_view name)
{
    for (std::size_t i = 0; i < request.get_header_value_count("Cookie"); ++i) {
        std::string header = request.get_header_value("Cookie", i);
        std::size_t start = 0;
        while (start < header.size()) {
            std::size_t end = header.find(';', start);
            if (end == std::string::npos)
                end = header.size();
            std::string_view entry(header.data() + start, end - start);
            while (!entry.empty() && entry.front() == ' ')
                entry.remove_prefix(1);
            std::size_t equals = entry.find('=');
            if (equals != std::string_view::npos && entry.substr(0, equals) == name)
                return std::string(entry.substr(equals + 1));
            start = end + 1;
        }
    }
    return {};
}

void add_cookie(httplib::Response& response, const std::string& cookie)
{
    response.headers.emplace("Set-Cookie", cookie);
}

Json file_json(const StoredFile& file)
{
    return Json{{"id", file.file_id}, {"bucket", "yejian-local"}, {"key", file.sha256.substr(0, 24)},
                {"type", file.content_type}, {"size", file.size}};
}

Json pin_json(const Pin& pin, const Account& account, const std::optional<StoredFile>& file)
{
    return Json{{"pin_id", pin.pin_id},
                {"user_id", account.user_id},
                {"board_id", pin.board_id},
                {"file_id", pin.file_id},
                {"raw_text", pin.text},
                {"link", pin.link.empty() ? Json(nullptr) : Json(pin.link)},
                {"via", 1},
                {"created_at", pin.created_at},
                {"updated_at", std::max(pin.created_at, pin.edited_at)},
                {"file", file ? file_json(*file) : Json(nullptr)}};
}

} // namespace

struct ServiceRoutes::PostBody {
    FormFields form;
    std::vector<FilePartRecord> file_parts;
    std::optional<std::string> file_name; // of the part named "file"
    std::string file_content_type;
    fs::path staged;
    std::uint64_t file_size = 0;
    std::string file_sha256;

    PostBody() = default;
    PostBody(const PostBody&) = delete;
    PostBody& operator=(const PostBody&) = delete;
    ~PostBody()
    {
        std::error_code ignored;
        if (!staged.empty())
            fs::remove(staged, ignored);
    }
};

ServiceRoutes::ServiceRoutes(const AccountBook& accounts, ServiceState& state, FaultSwitches& faults)
    : accounts_(accounts), state_(state), faults_(faults)
{
}

void ServiceRoutes::cancel_delays()
{
    std::lock_guard lock(delay_mutex_);
    delays_cancelled_ = true;
    delay_end_.notify_all();
}

void ServiceRoutes::install(httplib::Server& server)
{
    auto post = [this](const httplib::Request& request, httplib::Response& response,
                       const httplib::ContentReader& reader) { handle_post(request, response, reader); };
    server.Post("/auth/", post);
    server.Post("/upload/", post);
    server.Post("/pins/", post);
    server.Post(R"(/pins/(\d{1,18})/)", post);

    server.Get("/", [this](const httplib::Request& request, httplib::Response& response) {
        if (apply_faults(request, response, std::nullopt, AnswerKind::html))
            return;
        response.set_content(overview_html(accounts_, state_), html_type);
        apply_huge(request, response, std::nullopt);
    });
    server.Get(R"(/files/(\d{1,18}))", [this](const httplib::Request& request, httplib::Response& response) {
        serve_file(request, response);
    });
    server.Get(R"(/([A-Za-z0-9_-]{1,64})/)", [this](const httplib::Request& request, httplib::Response& response) {
        user_page(request, response);
    });

    // Error answers the handlers did not fill get a small HTML page, as a web server would.
    server.set_error_handler(httplib::Server::HandlerWithResponse([](const httplib::Request&, httplib::Response& response) {
        if (!response.body.empty() || response.content_length_ != 0)
            return httplib::Server::HandlerResponse::Unhandled;
        const char* title = response.status == 404 ? "Not Found" : "Error";
        response.set_content(error_page_html(response.status, title, "叶笺 could not serve this address."),
                             html_type);
        return httplib::Server::HandlerResponse::Handled;
    }));
}

std::optional<std::string> ServiceRoutes::session_account(const httplib::Request& request) const
{
    return state_.session_account(cookie_value(request, "sid"));
}

const Account* ServiceRoutes::signed_in_account(const httplib::Request& request) const
{
    std::optional<std::string> email = session_account(request);
    const Account* account = email ? accounts_.find_by_email(*email) : nullptr;
    if (ExchangeRecord* exchange = current_exchange(); exchange && account)
        exchange->account = account->email;
    return account;
}

bool ServiceRoutes::read_body(const httplib::Request& request, const httplib::ContentReader& reader,
                              PostBody& body)
{
    if (!request.is_multipart_form_data()) {
        std::string text;
        bool complete = reader([&](const char* data, std::size_t size) {
            if (text.size() + size > form_body_limit)
                return false;
            text.append(data, size);
            return true;
        });
        body.form = parse_form(text);
        return complete;
    }

    // Multipart: the library's parser splits the parts; the "file" part streams to disk.
    enum class Target { field, file_to_disk, other_file } target = Target::field;
    std::ofstream out;
    Sha256 hasher;
    std::string field_name, field_value;
    auto finish_part = [&] {
        if (body.file_parts.empty() && target != Target::field)
            return;
        if (target == Target::field) {
            if (!field_name.empty())
                body.form.emplace_back(field_name, field_value);
        } else {
            FilePartRecord& part = body.file_parts.back();
            part.sha256 = hasher.finish_hex();
            if (target == Target::file_to_disk) {
                out.close();
                body.file_size = part.size;
                body.file_sha256 = part.sha256;
            }
        }
        field_name.clear();
        field_value.clear();
        target = Target::field;
    };
    bool complete = reader(
        [&](const httplib::MultipartFormData& part) {
            finish_part();
            if (part.name == "file" && !body.file_name) {
                body.file_name = part.filename;
                body.file_content_type = part.content_type;
                body.staged = state_.new_staging_path();
                out.open(body.staged, std::ios::binary | std::ios::trunc);
                if (!out)
                    return false;
                target = Target::file_to_disk;
            } else if (!part.filename.empty() || part.name == "file") {
                target = Target::other_file;
            } else {
                field_name = part.name.empty() ? std::string("(unnamed)") : part.name;
                return true;
            }
            body.file_parts.push_back(FilePartRecord{part.name, part.filename, part.content_type, 0, {}});
            return true;
        },
        [&](const char* data, std::size_t size) {
            if (target == Target::field) {
                if (field_value.size() + size > form_field_limit)
                    return false;
                field_value.append(data, size);
                return true;
            }
            body.file_parts.back().size += size;
            hasher.add(std::string_view(data, size));
            if (target == Target::file_to_disk)
                out.write(data, static_cast<std::streamsize>(size));
            return target != Target::file_to_disk || static_cast<bool>(out);
        });
    finish_part();
    return complete;
}

bool ServiceRoutes::apply_faults(const httplib::Request& request, httplib::Response& response,
                                 const std::optional<std::string>& file_name, AnswerKind kind)
{
    ExchangeRecord* exchange = current_exchange();
    auto note = [&](const FaultRule& rule) {
        if (exchange != nullptr)
            exchange->fault += (exchange->fault.empty() ? "" : " ") + rule.text;
    };
    if (auto rule = faults_.take(FaultKind::delay, request.path, file_name)) {
        note(*rule);
        std::unique_lock lock(delay_mutex_);
        delay_end_.wait_for(lock, std::chrono::milliseconds(rule->delay_ms), [this] { return delays_cancelled_; });
    }
    if (auto rule = faults_.take(FaultKind::drop, request.path, file_name)) {
        note(*rule);
        drop_current_connection();
        return true;
    }
    if (auto rule = faults_.take(FaultKind::error_500, request.path, file_name)) {
        note(*rule);
        response.status = 500;
        response.set_content(error_page_html(500, "Internal Server Error",
                                             "The server met an unexpected condition. 服务器开小差了。"),
                             html_type);
        return true;
    }
    if (auto rule = faults_.take(FaultKind::not_json, request.path, file_name)) {
        note(*rule);
        response.status = 200;
        const char* page = kind == AnswerKind::json
                               ? "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>叶笺</title></head>"
                                 "<body><p>系统维护中，请稍后再试。</p></body></html>\n"
                               : "<!DOCTYPE html>\n<html><body><p>Service unavailable</p></body></html>\n";
        response.set_content(page, html_type);
        return true;
    }
    return false;
}

void ServiceRoutes::apply_huge(const httplib::Request& request, httplib::Response& response,
                               const std::optional<std::string>& file_name)
{
    std::optional<FaultRule> rule = faults_.take(FaultKind::huge, request.path, file_name);
    if (!rule)
        return;
    if (ExchangeRecord* exchange = current_exchange())
        exchange->fault += (exchange->fault.empty() ? "" : " ") + rule->text;
    // The normal answer, then blanks: still the same JSON or page, only very long.
    auto prefix = std::make_shared<std::string>(std::move(response.body));
    response.body.clear();
    std::string content_type = response.get_header_value("Content-Type");
    response.headers.erase("Content-Type");
    std::size_t total = std::max<std::size_t>(prefix->size(), static_cast<std::size_t>(rule->bytes));
    response.set_content_provider(
        total, content_type, [prefix](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            static const std::string blanks(64 * 1024, ' ');
            std::size_t count = std::min(length, blanks.size());
            if (offset < prefix->size())
                return sink.write(prefix->data() + offset, std::min(count, prefix->size() - offset));
            return sink.write(blanks.data(), count);
        });
}

void ServiceRoutes::handle_post(const httplib::Request& request, httplib::Response& response,
                                const httplib::ContentReader& reader)
{
    ExchangeRecord* exchange = current_exchange();
    if (auto rule = faults_.take(FaultKind::drop_mid_request, request.path, std::nullopt)) {
        if (exchange != nullptr)
            exchange->fault = rule->text;
        drop_current_connection();
        return;
    }
    PostBody body;
    bool complete = read_body(request, reader, body);
    if (exchange != nullptr) {
        exchange->form = without_secrets(body.form);
        exchange->files = body.file_parts;
    }
    if (!complete) {
        answer_refusal(response, 400, "请求格式错误");
        return;
    }

    // The file a request is about, for faults chosen by file name.
    std::optional<std::string> file_name = body.file_name;
    std::optional<std::int64_t> pin_id;
    if (request.matches.size() > 1)
        pin_id = whole_number(request.matches[1].str());
    if (request.path == "/pins/") {
        if (auto file_id = whole_number(form_value(body.form, "file_id")))
            if (auto file = state_.find_file(*file_id))
                file_name = file->file_name;
    } else if (pin_id) {
        if (auto pin = state_.find_pin(*pin_id))
            if (auto file = state_.find_file(pin->file_id))
                file_name = file->file_name;
    }

    if (apply_faults(request, response, file_name, AnswerKind::json))
        return;
    if (request.path == "/auth/")
        sign_in(request, response, body);
    else if (request.path == "/upload/")
        upload(request, response, body);
    else if (request.path == "/pins/")
        create_pin(request, response, body);
    else if (pin_id)
        edit_pin(request, response, body, *pin_id);
    apply_huge(request, response, file_name);
}

void ServiceRoutes::sign_in(const httplib::Request& request, httplib::Response& response, PostBody& body)
{
    if (cookie_value(request, "_yj_v").empty())
        add_cookie(response, "_yj_v=" + random_hex(8) + "; Path=/; Max-Age=31536000");
    std::optional<std::string> email = form_value(body.form, "email");
    std::optional<std::string> password = form_value(body.form, "password");
    const Account* account = email ? accounts_.find_by_email(*email) : nullptr;
    bool accepted = account != nullptr && password && account->password_matches(*password);
    // The clear password is not kept a moment longer than the comparison needs.
    for (auto& [name, value] : body.form)
        if (name == "password")
            std::fill(value.begin(), value.end(), '\0');
    if (password)
        std::fill(password->begin(), password->end(), '\0');
    if (!accepted) {
        answer_json(response, 403, Json{{"err", 403}, {"msg", "邮箱或密码错误"}});
        return;
    }
    if (ExchangeRecord* exchange = current_exchange())
        exchange->account = account->email;
    add_cookie(response, "sid=" + state_.start_session(account->email) + "; Path=/; HttpOnly");
    add_cookie(response, "uid=" + std::to_string(account->user_id) + "; Path=/; Max-Age=2592000");
    add_cookie(response, "_csrf=" + random_hex(12) + "; Path=/; SameSite=Lax");
    answer_json(response, 200,
                Json{{"user", Json{{"user_id", account->user_id},
                                   {"username", account->username},
                                   {"urlname", account->urlname},
                                   {"email", account->email},
                                   {"avatar", nullptr},
                                   {"board_count", account->boards.size()}}},
                     {"err", nullptr}});
}

void ServiceRoutes::upload(const httplib::Request& request, httplib::Response& response, PostBody& body)
{
    const Account* account = signed_in_account(request);
    if (account == nullptr) {
        answer_refusal(response, 401, "请先登录");
        return;
    }
    if (!body.file_name) {
        answer_refusal(response, 400, "没有收到文件");
        return;
    }
    if (faults_.take(FaultKind::no_id, request.path, body.file_name)) {
        if (ExchangeRecord* exchange = current_exchange())
            exchange->fault = "no_id";
        answer_json(response, 200, Json{{"code", 1}, {"msg", "图片处理失败"}});
        return;
    }
    std::string first_bytes(16, '\0');
    {
        std::ifstream in(body.staged, std::ios::binary);
        in.read(first_bytes.data(), static_cast<std::streamsize>(first_bytes.size()));
        first_bytes.resize(static_cast<std::size_t>(in.gcount()));
    }
    StoredFile file;
    file.account_email = account->email;
    file.file_name = *body.file_name;
    file.content_type = sniff_image_type(first_bytes);
    file.size = body.file_size;
    file.sha256 = body.file_sha256;
    file.uploaded_at = now_seconds();
    file = state_.add_file(body.staged, std::move(file));
    body.staged.clear();
    // Like the real service, an upload renews the anti-forgery cookie.
    add_cookie(response, "_csrf=" + random_hex(12) + "; Path=/; SameSite=Lax");
    answer_json(response, 200, file_json(file));
}

void ServiceRoutes::create_pin(const httplib::Request& request, httplib::Response& response, PostBody& body)
{
    const Account* account = signed_in_account(request);
    if (account == nullptr) {
        answer_refusal(response, 401, "请先登录");
        return;
    }
    std::optional<std::int64_t> board_id = whole_number(form_value(body.form, "board_id"));
    std::optional<std::int64_t> file_id = whole_number(form_value(body.form, "file_id"));
    if (!board_id || account->find_board(*board_id) == nullptr) {
        answer_refusal(response, 400, "画板不存在");
        return;
    }
    std::optional<StoredFile> file = file_id ? state_.find_file(*file_id) : std::nullopt;
    if (!file || file->account_email != account->email) {
        answer_refusal(response, 400, "图片不存在");
        return;
    }
    if (faults_.take(FaultKind::no_pin_id, request.path, file->file_name)) {
        if (ExchangeRecord* exchange = current_exchange())
            exchange->fault = "no_pin_id";
        answer_json(response, 200, Json{{"err", 500}, {"msg", "采集失败"}});
        return;
    }
    Pin pin;
    pin.account_email = account->email;
    pin.board_id = *board_id;
    pin.file_id = file->file_id;
    pin.text = form_value(body.form, "text").value_or("");
    pin.created_at = now_seconds();
    pin = state_.add_pin(std::move(pin));
    answer_json(response, 200, Json{{"pin", pin_json(pin, *account, file)}});
}

void ServiceRoutes::edit_pin(const httplib::Request& request, httplib::Response& response, PostBody& body,
                             std::int64_t pin_id)
{
    const Account* account = signed_in_account(request);
    if (account == nullptr) {
        answer_refusal(response, 401, "请先登录");
        return;
    }
    std::optional<Pin> pin = state_.find_pin(pin_id);
    if (!pin || pin->account_email != account->email) {
        answer_refusal(response, 404, "采集不存在");
        return;
    }
    std::optional<std::int64_t> board_id = whole_number(form_value(body.form, "board_id"));
    if (!board_id || account->find_board(*board_id) == nullptr) {
        answer_refusal(response, 400, "画板不存在");
        return;
    }
    Pin edited = state_.edit_pin(pin_id, *board_id, form_value(body.form, "text").value_or(pin->text),
                                 form_value(body.form, "link").value_or(""));
    answer_json(response, 200, Json{{"pin", pin_json(edited, *account, state_.find_file(edited.file_id))}});
}

void ServiceRoutes::user_page(const httplib::Request& request, httplib::Response& response)
{
    if (apply_faults(request, response, std::nullopt, AnswerKind::html))
        return;
    const Account* owner = accounts_.find_by_urlname(request.matches[1].str());
    if (owner == nullptr) {
        response.status = 404;
        response.set_content(error_page_html(404, "Not Found", "没有这个用户。"), html_type);
        return;
    }
    const Account* visitor = signed_in_account(request);
    bool own_page = visitor != nullptr && visitor->email == owner->email;
    response.set_content(user_page_html(*owner, user_object(*owner, state_, own_page)), html_type);
    apply_huge(request, response, std::nullopt);
}

void ServiceRoutes::serve_file(const httplib::Request& request, httplib::Response& response)
{
    std::optional<std::int64_t> file_id = whole_number(request.matches[1].str());
    std::optional<StoredFile> file = file_id ? state_.find_file(*file_id) : std::nullopt;
    auto in = std::make_shared<std::ifstream>();
    if (file)
        in->open(state_.file_path(file->file_id), std::ios::binary);
    if (!file || !*in) {
        response.status = 404;
        return;
    }
    // Uploaded bytes are the client's: never let a browser guess them into a script.
    response.set_header("X-Content-Type-Options", "nosniff");
    response.set_header("Content-Security-Policy", "default-src 'none'");
    response.set_content_provider(
        static_cast<std::size_t>(file->size), file->content_type,
        [in](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            char buffer[64 * 1024];
            in->seekg(static_cast<std::streamoff>(offset));
            in->read(buffer, static_cast<std::streamsize>(std::min(length, sizeof buffer)));
            std::streamsize got = in->gcount();
            return got > 0 && sink.write(buffer, static_cast<std::size_t>(got));
        });
}

} // namespace yejian::standin
