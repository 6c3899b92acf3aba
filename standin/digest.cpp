#include "standin/digest.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <stdexcept>

namespace yejian::standin {

namespace {

std::string to_hex(const unsigned char* data, std::size_t size)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        hex += digits[data[i] >> 4];
        hex += digits[data[i] & 0x0f];
    }
    return hex;
}

} // namespace

Sha256::Sha256() : context_(EVP_MD_CTX_new())
{
    if (context_ == nullptr || EVP_DigestInit_ex(context_, EVP_sha256(), nullptr) != 1)
        throw std::runtime_error("SHA-256 is not available");
}

Sha256::~Sha256()
{
    EVP_MD_CTX_free(context_);
}

void Sha256::add(std::string_view bytes)
{
    if (!bytes.empty())
        EVP_DigestUpdate(context_, bytes.data(), bytes.size());
}

std::string Sha256::finish_hex()
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_DigestFinal_ex(context_, digest, &size);
    EVP_DigestInit_ex(context_, EVP_sha256(), nullptr);
    return to_hex(digest, size);
}

std::string sha256_hex(std::string_view bytes)
{
    Sha256 hasher;
    hasher.add(bytes);
    return hasher.finish_hex();
}

std::string random_hex(std::size_t byte_count)
{
    std::string bytes(byte_count, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(bytes.data()), static_cast<int>(byte_count)) != 1)
        throw std::runtime_error("the random generator failed");
    return to_hex(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

bool equal_in_constant_time(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

} // namespace yejian::standin
