#pragma once
// A signed-in session against the real stand-in, with the service's host routed to it, for
// tests that drive a whole batch: image files to import and the stand-in's request log.

#include "../standin/standin_fixture.h"

#include <filesystem>
#include <string>
#include <vector>

namespace yejian::app::testing {

class BatchFixture : public standin::testing::StandinFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // Sends the service's https and http connections to these loopback ports.
    static void route_service_to(int https_port, int http_port);
    // The sign-in through the program's own web access, so the cookie store holds the session
    // exactly as after a real sign-in; the answer's new cookies.
    static std::string sign_in();

    // Writes an image file into the fixture's folder; its path.
    std::string image(const std::string& name, const std::string& bytes);
    std::vector<standin::Json> requests_to(const std::string& prefix) const;

    std::filesystem::path files_;
    std::string session_cookies_;
};

} // namespace yejian::app::testing
