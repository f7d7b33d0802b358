#include "UpdateTrustedKeys.h"

#include "Base64.h"
#include "Ed25519.h"

#include "updater/UpdateKeyConfig.h"

#include <string_view>

namespace quorin {

namespace {

// ";"-separated Base64 keys, each checked when the build was configured.
std::vector<std::string> decodedKeys(std::string_view list)
{
    std::vector<std::string> keys;
    while (!list.empty()) {
        auto end = list.find(';');
        auto key = base64::decoded(list.substr(0, end));
        if (key && key->size() == ed25519::keySize)
            keys.push_back(*key);
        list = end == std::string_view::npos ? std::string_view {} : list.substr(end + 1);
    }
    return keys;
}

} // namespace

UpdateTrustedKeys UpdateTrustedKeys::production()
{
    return { decodedKeys(updateKeyConfig::signingKeys), decodedKeys(updateKeyConfig::notaryKeys) };
}

} // namespace quorin
