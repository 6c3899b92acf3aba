#include "standin/json_text.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace yejian::standin {

Json read_json_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    try {
        return Json::parse(text.str());
    } catch (const nlohmann::json::exception& error) {
        throw std::runtime_error(path + " is not valid JSON: " + error.what());
    }
}

} // namespace yejian::standin
