#include "test_pki.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace yejian::web::testing_support {
namespace {

struct KeyDeleter {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertDeleter {
    void operator()(X509* cert) const { X509_free(cert); }
};
using Key = std::unique_ptr<EVP_PKEY, KeyDeleter>;
using Cert = std::unique_ptr<X509, CertDeleter>;

void require(bool ok, const char* what)
{
    if (!ok)
        throw std::runtime_error(std::string("test certificate: ") + what);
}

Key new_key()
{
    Key key(EVP_EC_gen("P-256"));
    require(key != nullptr, "key generation");
    return key;
}

void add_extension(X509* cert, X509V3_CTX* ctx, int nid, const std::string& value)
{
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, ctx, nid, value.c_str());
    require(ext != nullptr, "extension");
    X509_add_ext(cert, ext, -1);
    X509_EXTENSION_free(ext);
}

// Signs a certificate for `key`; a null issuer makes it self-signed.
Cert make_certificate(EVP_PKEY* key, const std::string& common_name, X509* issuer, EVP_PKEY* issuer_key,
                      bool authority, const std::vector<std::string>& dns_names)
{
    static std::atomic<long> serial{1};
    Cert cert(X509_new());
    require(cert != nullptr, "allocation");
    X509_set_version(cert.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), serial++);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), 7 * 24 * 3600);
    X509_set_pubkey(cert.get(), key);
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                               reinterpret_cast<const unsigned char*>(common_name.c_str()), -1, -1, 0);
    X509_set_issuer_name(cert.get(), issuer ? X509_get_subject_name(issuer) : name);

    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, issuer ? issuer : cert.get(), cert.get(), nullptr, nullptr, 0);
    add_extension(cert.get(), &ctx, NID_subject_key_identifier, "hash");
    if (authority) {
        add_extension(cert.get(), &ctx, NID_basic_constraints, "critical,CA:TRUE");
        add_extension(cert.get(), &ctx, NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
        std::string names;
        for (const std::string& dns : dns_names)
            names += (names.empty() ? "DNS:" : ",DNS:") + dns;
        add_extension(cert.get(), &ctx, NID_basic_constraints, "critical,CA:FALSE");
        add_extension(cert.get(), &ctx, NID_key_usage, "critical,digitalSignature");
        add_extension(cert.get(), &ctx, NID_ext_key_usage, "serverAuth");
        add_extension(cert.get(), &ctx, NID_subject_alt_name, names);
        add_extension(cert.get(), &ctx, NID_authority_key_identifier, "keyid:always");
    }
    require(X509_sign(cert.get(), issuer_key ? issuer_key : key, EVP_sha256()) > 0, "signing");
    return cert;
}

template <class Write>
std::string to_pem(Write write)
{
    BIO* bio = BIO_new(BIO_s_mem());
    require(bio != nullptr && write(bio), "PEM output");
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    std::string pem(data, static_cast<std::size_t>(size));
    BIO_free(bio);
    return pem;
}

Identity identity_of(X509* cert, EVP_PKEY* key)
{
    return Identity{
        to_pem([&](BIO* bio) { return PEM_write_bio_X509(bio, cert) == 1; }),
        to_pem([&](BIO* bio) {
            return PEM_write_bio_PrivateKey(bio, key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
        })};
}

} // namespace

struct TestAuthority::Keys {
    Key key;
    Cert cert;
};

TestAuthority::TestAuthority(const std::string& common_name) : keys_(std::make_unique<Keys>())
{
    keys_->key = new_key();
    keys_->cert = make_certificate(keys_->key.get(), common_name, nullptr, nullptr, true, {});
    self_ = identity_of(keys_->cert.get(), keys_->key.get());
}

TestAuthority::~TestAuthority() = default;

Identity TestAuthority::issue_server(const std::vector<std::string>& dns_names) const
{
    Key key = new_key();
    Cert cert = make_certificate(key.get(), dns_names.empty() ? "server" : dns_names.front(),
                                 keys_->cert.get(), keys_->key.get(), false, dns_names);
    return identity_of(cert.get(), key.get());
}

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "yejian-test-XXXXXX").string();
    require(mkdtemp(pattern.data()) != nullptr, "temporary folder");
    path_ = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::write(const std::string& name, const std::string& content) const
{
    const std::string path = (std::filesystem::path(path_) / name).string();
    std::ofstream file(path, std::ios::binary);
    file << content;
    require(static_cast<bool>(file), "writing a file");
    return path;
}

} // namespace yejian::web::testing_support
