#pragma once
// SHA-256 over OpenSSL, fed piece by piece so a large upload is hashed while it streams to disk.

#include <memory>
#include <string>
#include <string_view>

typedef struct evp_md_ctx_st EVP_MD_CTX;

namespace yejian::standin {

class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void add(std::string_view bytes);
    // Lower-case hex of the digest of everything added; the hasher starts over afterwards.
    std::string finish_hex();

private:
    EVP_MD_CTX* context_;
};

std::string sha256_hex(std::string_view bytes);

// Random bytes from the operating system's generator, as lower-case hex (2 digits a byte).
std::string random_hex(std::size_t byte_count);

// Compares two texts in time that does not depend on where they differ.
bool equal_in_constant_time(std::string_view a, std::string_view b);

} // namespace yejian::standin
