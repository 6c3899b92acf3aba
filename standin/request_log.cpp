#include "standin/request_log.h"

#include "standin/form_fields.h"
#include "standin/json_text.h"

#include <chrono>
#include <ctime>
#include <stdexcept>

namespace yejian::standin {

namespace {

std::string utc_now()
{
    auto now = std::chrono::system_clock::now();
    std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &parts);
    char with_millis[48];
    std::snprintf(with_millis, sizeof with_millis, "%s.%03dZ", text, static_cast<int>(millis));
    return with_millis;
}

} // namespace

RequestLog::RequestLog(const std::string& path)
{
    if (path.empty())
        return;
    out_.open(path, std::ios::binary | std::ios::app);
    if (!out_)
        throw std::runtime_error("cannot write the request log " + path);
    enabled_ = true;
}

void RequestLog::write(ExchangeRecord& record)
{
    if (!enabled_)
        return;
    std::string request_line = record.capture.request_line();
    std::size_t first_space = request_line.find(' ');
    std::size_t second_space = request_line.find(' ', first_space == std::string::npos ? 0 : first_space + 1);
    std::string method = request_line.substr(0, first_space);
    std::string target = first_space == std::string::npos
                             ? std::string()
                             : request_line.substr(first_space + 1, second_space - first_space - 1);

    Json headers = Json::array();
    for (const std::string& line : record.capture.header_lines())
        headers.push_back(header_line_without_secrets(line));
    Json form = Json::array();
    for (const auto& [name, value] : without_secrets(record.form))
        form.push_back(Json::array({name, value}));
    Json files = Json::array();
    for (const FilePartRecord& file : record.files)
        files.push_back(Json{{"name", file.field_name}, {"file_name", file.file_name},
                             {"content_type", file.content_type}, {"size", file.size},
                             {"sha256", file.sha256}});

    Json line{{"time", utc_now()},
              {"scheme", record.https ? "https" : "http"},
              {"method", method},
              {"target", target_without_secrets(target)},
              {"headers", std::move(headers)},
              {"body_size", record.capture.body_size()},
              {"body_sha256", record.capture.body_sha256()},
              {"form", std::move(form)},
              {"files", std::move(files)},
              {"account", record.account},
              {"status", record.dropped ? 0 : record.status},
              {"dropped", record.dropped},
              {"fault", record.fault}};
    std::string text = json_text(line);
    std::lock_guard lock(mutex_);
    out_ << text << '\n';
    out_.flush();
}

} // namespace yejian::standin
