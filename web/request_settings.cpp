#include "web/request_settings.h"

#include "text/text_helpers.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace yejian::web {
namespace {

std::string environment_value(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string read_whole_file(const std::string& path)
{
    if (path.empty())
        return {};
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return file ? content.str() : std::string();
}

} // namespace

RequestSettings RequestSettings::from_environment()
{
    RequestSettings settings;
    settings.connect_to = parse_connect_to(environment_value("YEJIAN_CONNECT_TO"));
    settings.extra_ca_bundle = environment_value("YEJIAN_CA_BUNDLE");
    return settings;
}

std::vector<std::string> parse_connect_to(std::string_view value)
{
    std::vector<std::string> entries;
    for (const std::string& piece : text::cut_at(value, ",")) {
        std::string entry = text::trim_blanks(piece);
        if (!entry.empty())
            entries.push_back(std::move(entry));
    }
    return entries;
}

std::string trusted_ca_pem(const std::string& system_bundle, const std::string& extra_bundle)
{
    std::string pem = read_whole_file(system_bundle);
    // PEM blocks need a line break between them; a file may end without one.
    if (!pem.empty() && !pem.ends_with('\n'))
        pem += '\n';
    pem += read_whole_file(extra_bundle);
    return pem;
}

} // namespace yejian::web
