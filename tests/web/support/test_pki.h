#pragma once
// Throwaway certificate authorities for TLS tests, made afresh in memory by every test run:
// no private key is ever kept in the repository.

#include <memory>
#include <string>
#include <vector>

namespace yejian::web::testing_support {

struct Identity {
    std::string certificate_pem;
    std::string private_key_pem;
};

class TestAuthority {
public:
    explicit TestAuthority(const std::string& common_name);
    ~TestAuthority();
    TestAuthority(const TestAuthority&) = delete;
    TestAuthority& operator=(const TestAuthority&) = delete;

    const std::string& certificate_pem() const { return self_.certificate_pem; }

    // A server certificate for the given DNS names, signed by this authority.
    Identity issue_server(const std::vector<std::string>& dns_names) const;

private:
    struct Keys;
    std::unique_ptr<Keys> keys_;
    Identity self_;
};

// A folder of its own under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Writes a file into the folder and returns its path.
    std::string write(const std::string& name, const std::string& content) const;

private:
    std::string path_;
};

} // namespace yejian::web::testing_support
