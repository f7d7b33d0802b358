#include "Ed25519.h"

#include "core/Result.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <memory>

namespace quorin::ed25519 {

namespace {

struct KeyDeleter {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct ContextDeleter {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using Key = std::unique_ptr<EVP_PKEY, KeyDeleter>;
using Context = std::unique_ptr<EVP_MD_CTX, ContextDeleter>;

const unsigned char* bytesOf(std::string_view text)
{
    return reinterpret_cast<const unsigned char*>(text.data());
}

Key privateKeyFrom(std::string_view seed)
{
    if (seed.size() != keySize)
        return nullptr;
    return Key(EVP_PKEY_new_raw_private_key(EVP_PKEY_ED25519, nullptr, bytesOf(seed), seed.size()));
}

} // namespace

std::string generatePrivateKey()
{
    std::string seed(keySize, '\0');
    MUST(RAND_bytes(reinterpret_cast<unsigned char*>(seed.data()), static_cast<int>(seed.size())) == 1);
    return seed;
}

std::optional<std::string> publicKeyOf(std::string_view privateKey)
{
    auto key = privateKeyFrom(privateKey);
    std::string publicKey(keySize, '\0');
    std::size_t length = publicKey.size();
    if (!key || EVP_PKEY_get_raw_public_key(key.get(), reinterpret_cast<unsigned char*>(publicKey.data()), &length) != 1)
        return std::nullopt;
    return publicKey;
}

std::optional<std::string> sign(std::string_view privateKey, std::string_view message)
{
    auto key = privateKeyFrom(privateKey);
    Context context(EVP_MD_CTX_new());
    std::string signature(signatureSize, '\0');
    std::size_t length = signature.size();
    if (!key || !context || EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1)
        return std::nullopt;
    if (EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(signature.data()), &length, bytesOf(message), message.size()) != 1)
        return std::nullopt;
    return signature;
}

bool verify(std::string_view publicKey, std::string_view message, std::string_view signature)
{
    if (publicKey.size() != keySize || signature.size() != signatureSize)
        return false;
    Key key(EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, bytesOf(publicKey), publicKey.size()));
    Context context(EVP_MD_CTX_new());
    if (!key || !context || EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1)
        return false;
    return EVP_DigestVerify(context.get(), bytesOf(signature), signature.size(), bytesOf(message), message.size()) == 1;
}

} // namespace quorin::ed25519
