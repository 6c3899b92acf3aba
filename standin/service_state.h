#pragma once
// What the stand-in remembers: sessions, uploaded files and pins. It lives in a data folder
// and survives a restart, so a client that keeps its session across a restart of the
// stand-in carries on: every change is one JSON line appended to journal.jsonl, replayed at
// start; file bytes are kept as files/<id>, exactly as uploaded. Sessions are journalled as
// the SHA-256 of their cookie value, never the value itself.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace yejian::standin {

struct StoredFile {
    std::int64_t file_id = 0;
    std::string account_email;
    std::string file_name;
    std::string content_type;
    std::uint64_t size = 0;
    std::string sha256;
    std::int64_t uploaded_at = 0; // seconds since the epoch
};

struct Pin {
    std::int64_t pin_id = 0;
    std::string account_email;
    std::int64_t board_id = 0;
    std::int64_t file_id = 0;
    std::string text;
    std::string link;
    std::int64_t created_at = 0;
    std::int64_t edited_at = 0;
};

class ServiceState {
public:
    // Creates the folder when needed and replays its journal; throws std::runtime_error when
    // the folder cannot be used.
    ServiceState(std::filesystem::path data_dir, std::int64_t first_file_id,
                 std::int64_t first_pin_id);

    // A new session for the account; returns the cookie value.
    std::string start_session(const std::string& account_email);
    std::optional<std::string> session_account(std::string_view cookie_value) const;

    // Where an upload streams its bytes before it becomes a file.
    std::filesystem::path new_staging_path() const;
    // Moves the staged bytes to their place and records the file.
    StoredFile add_file(const std::filesystem::path& staged, StoredFile file);
    std::optional<StoredFile> find_file(std::int64_t file_id) const;
    std::filesystem::path file_path(std::int64_t file_id) const;

    Pin add_pin(Pin pin);
    // Records a pin's new board, text and source link; the pin must exist.
    Pin edit_pin(std::int64_t pin_id, std::int64_t board_id, std::string text, std::string link);
    std::optional<Pin> find_pin(std::int64_t pin_id) const;
    // Every pin, oldest first.
    std::vector<Pin> pins() const;

    const std::filesystem::path& data_dir() const { return data_dir_; }

private:
    void replay();
    void append(const std::string& line);

    mutable std::mutex mutex_;
    std::filesystem::path data_dir_;
    std::ofstream journal_;
    std::map<std::string, std::string> sessions_; // SHA-256 of the cookie value -> e-mail
    std::map<std::int64_t, StoredFile> files_;
    std::map<std::int64_t, Pin> pins_;
    std::int64_t next_file_id_;
    std::int64_t next_pin_id_;
};

} // namespace yejian::standin
