#include "Sha256.h"

#include "Hex.h"

#include "ReadableFile.h"

#include <openssl/evp.h>

#include <array>
#include <memory>
#include <vector>

namespace quorin {

namespace {

constexpr std::size_t readSize = 1024 * 1024;

struct DigestContextDeleter {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using DigestContext = std::unique_ptr<EVP_MD_CTX, DigestContextDeleter>;

// EVP only fails here when memory runs out; there is no sensible way on from that.
DigestContext newSha256Context()
{
    DigestContext context(EVP_MD_CTX_new());
    MUST(context && EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) == 1);
    return context;
}

void update(EVP_MD_CTX* context, const void* data, std::size_t size)
{
    MUST(EVP_DigestUpdate(context, data, size) == 1);
}

std::string finalHex(EVP_MD_CTX* context)
{
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest {};
    unsigned int length = 0;
    MUST(EVP_DigestFinal_ex(context, digest.data(), &length) == 1);
    std::string text;
    text.reserve(length * 2);
    for (unsigned int i = 0; i < length; ++i)
        hex::appendByte(text, digest[i]);
    return text;
}

} // namespace

Result<std::string, FileSystemError> sha256HexOfFile(const std::string& path)
{
    auto file = TRY(ReadableFile::open(path));
    auto context = newSha256Context();
    // One buffer per thread for every file: a fresh zeroed megabyte per file was most of the
    // cost of checking a folder of small files.
    static thread_local std::vector<char> buffer(readSize);
    while (true) {
        auto count = TRY(file.read(buffer));
        if (count == 0)
            return finalHex(context.get());
        update(context.get(), buffer.data(), count);
    }
}

std::string sha256Hex(std::string_view bytes)
{
    auto context = newSha256Context();
    update(context.get(), bytes.data(), bytes.size());
    return finalHex(context.get());
}

} // namespace quorin
