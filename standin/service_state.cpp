#include "standin/service_state.h"

#include "standin/digest.h"
#include "standin/json_text.h"

#include <chrono>
#include <stdexcept>

namespace yejian::standin {

namespace fs = std::filesystem;

namespace {

Json file_to_json(const StoredFile& file)
{
    return Json{{"event", "file"},          {"file_id", file.file_id},
                {"account", file.account_email}, {"file_name", file.file_name},
                {"content_type", file.content_type}, {"size", file.size},
                {"sha256", file.sha256},        {"uploaded_at", file.uploaded_at}};
}

Json pin_to_json(const char* event, const Pin& pin)
{
    return Json{{"event", event},          {"pin_id", pin.pin_id},
                {"account", pin.account_email}, {"board_id", pin.board_id},
                {"file_id", pin.file_id},  {"text", pin.text},
                {"link", pin.link},        {"created_at", pin.created_at},
                {"edited_at", pin.edited_at}};
}

Pin pin_from_json(const Json& line)
{
    Pin pin;
    pin.pin_id = line.at("pin_id").get<std::int64_t>();
    pin.account_email = line.at("account").get<std::string>();
    pin.board_id = line.at("board_id").get<std::int64_t>();
    pin.file_id = line.at("file_id").get<std::int64_t>();
    pin.text = line.at("text").get<std::string>();
    pin.link = line.at("link").get<std::string>();
    pin.created_at = line.at("created_at").get<std::int64_t>();
    pin.edited_at = line.at("edited_at").get<std::int64_t>();
    return pin;
}

// A copy, so the caller holds nothing that another thread may change.
template <class Value>
std::optional<Value> copy_of(const std::map<std::int64_t, Value>& table, std::int64_t id)
{
    auto it = table.find(id);
    if (it == table.end())
        return std::nullopt;
    return it->second;
}

} // namespace

ServiceState::ServiceState(fs::path data_dir, std::int64_t first_file_id, std::int64_t first_pin_id)
    : data_dir_(std::move(data_dir)), next_file_id_(first_file_id), next_pin_id_(first_pin_id)
{
    std::error_code error;
    fs::create_directories(data_dir_ / "files", error);
    if (error)
        throw std::runtime_error("cannot use data folder " + data_dir_.string() + ": " + error.message());
    // Uploads cut off by a crash or a dropped connection leave staged bytes behind.
    for (const auto& entry : fs::directory_iterator(data_dir_ / "files", error))
        if (entry.path().filename().string().rfind(".incoming-", 0) == 0)
            fs::remove(entry.path(), error);
    replay();
    journal_.open(data_dir_ / "journal.jsonl", std::ios::binary | std::ios::app);
    if (!journal_)
        throw std::runtime_error("cannot write " + (data_dir_ / "journal.jsonl").string());
}

void ServiceState::replay()
{
    std::ifstream in(data_dir_ / "journal.jsonl", std::ios::binary);
    std::string text;
    while (std::getline(in, text)) {
        // A line cut short by a crash is the last one; it and any other bad line are skipped.
        Json line = Json::parse(text, nullptr, false);
        if (!line.is_object())
            continue;
        try {
            std::string event = line.at("event").get<std::string>();
            if (event == "session") {
                sessions_[line.at("sid_sha256").get<std::string>()] = line.at("account").get<std::string>();
            } else if (event == "file") {
                StoredFile file;
                file.file_id = line.at("file_id").get<std::int64_t>();
                file.account_email = line.at("account").get<std::string>();
                file.file_name = line.at("file_name").get<std::string>();
                file.content_type = line.at("content_type").get<std::string>();
                file.size = line.at("size").get<std::uint64_t>();
                file.sha256 = line.at("sha256").get<std::string>();
                file.uploaded_at = line.at("uploaded_at").get<std::int64_t>();
                next_file_id_ = std::max(next_file_id_, file.file_id + 1);
                files_[file.file_id] = std::move(file);
            } else if (event == "pin" || event == "pin_edit") {
                Pin pin = pin_from_json(line);
                next_pin_id_ = std::max(next_pin_id_, pin.pin_id + 1);
                pins_[pin.pin_id] = std::move(pin);
            }
        } catch (const nlohmann::json::exception&) {
            continue;
        }
    }
}

void ServiceState::append(const std::string& line)
{
    journal_ << line << '\n';
    journal_.flush();
}

std::string ServiceState::start_session(const std::string& account_email)
{
    std::string cookie_value = random_hex(16);
    std::string key = sha256_hex(cookie_value);
    std::lock_guard lock(mutex_);
    sessions_[key] = account_email;
    append(json_text(Json{{"event", "session"}, {"sid_sha256", key}, {"account", account_email}}));
    return cookie_value;
}

std::optional<std::string> ServiceState::session_account(std::string_view cookie_value) const
{
    if (cookie_value.empty())
        return std::nullopt;
    std::string key = sha256_hex(cookie_value);
    std::lock_guard lock(mutex_);
    auto it = sessions_.find(key);
    if (it == sessions_.end())
        return std::nullopt;
    return it->second;
}

fs::path ServiceState::new_staging_path() const
{
    return data_dir_ / "files" / (".incoming-" + random_hex(8));
}

StoredFile ServiceState::add_file(const fs::path& staged, StoredFile file)
{
    std::lock_guard lock(mutex_);
    file.file_id = next_file_id_++;
    fs::rename(staged, file_path(file.file_id));
    files_[file.file_id] = file;
    append(json_text(file_to_json(file)));
    return file;
}

std::optional<StoredFile> ServiceState::find_file(std::int64_t file_id) const
{
    std::lock_guard lock(mutex_);
    return copy_of(files_, file_id);
}

fs::path ServiceState::file_path(std::int64_t file_id) const
{
    return data_dir_ / "files" / std::to_string(file_id);
}

Pin ServiceState::add_pin(Pin pin)
{
    std::lock_guard lock(mutex_);
    pin.pin_id = next_pin_id_++;
    pins_[pin.pin_id] = pin;
    append(json_text(pin_to_json("pin", pin)));
    return pin;
}

Pin ServiceState::edit_pin(std::int64_t pin_id, std::int64_t board_id, std::string text, std::string link)
{
    std::lock_guard lock(mutex_);
    Pin& pin = pins_.at(pin_id);
    pin.board_id = board_id;
    pin.text = std::move(text);
    pin.link = std::move(link);
    pin.edited_at = std::chrono::duration_cast<std::chrono::seconds>(
                        std::chrono::system_clock::now().time_since_epoch())
                        .count();
    append(json_text(pin_to_json("pin_edit", pin)));
    return pin;
}

std::optional<Pin> ServiceState::find_pin(std::int64_t pin_id) const
{
    std::lock_guard lock(mutex_);
    return copy_of(pins_, pin_id);
}

std::vector<Pin> ServiceState::pins() const
{
    std::lock_guard lock(mutex_);
    std::vector<Pin> all;
    all.reserve(pins_.size());
    for (const auto& [id, pin] : pins_)
        all.push_back(pin);
    return all;
}

} // namespace yejian::standin
