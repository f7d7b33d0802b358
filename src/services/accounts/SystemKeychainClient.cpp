#include "SystemKeychainClient.h"

#include "core/ProductIdentity.h"
#include "core/glib/GError.h"
#include "core/glib/GRef.h"

#include <libsecret/secret.h>

namespace quorin::glib {

template<>
struct GRefTraits<SecretValue> {
    static void ref(SecretValue* value) { secret_value_ref(value); }
    static void unref(SecretValue* value) { secret_value_unref(value); }
};

} // namespace quorin::glib

namespace quorin {

namespace {

constexpr std::size_t maximumServiceBytes = 512;
constexpr std::size_t maximumAccountBytes = 1024;

// Items are found by their two attributes alone, whatever schema name wrote them.
const SecretSchema& tokenSchema()
{
    static const SecretSchema schema = [] {
        SecretSchema made {};
        made.name = "com.quorin42.launcher.SavedAccount";
        made.flags = SECRET_SCHEMA_DONT_MATCH_NAME;
        made.attributes[0] = { "service", SECRET_SCHEMA_ATTRIBUTE_STRING };
        made.attributes[1] = { "account", SECRET_SCHEMA_ATTRIBUTE_STRING };
        return made;
    }();
    return schema;
}

// UTF-8, where NUL is a character like any other (tokens come from JSON strings).
bool isUTF8(std::string_view bytes)
{
    while (true) {
        auto nul = bytes.find('\0');
        auto run = bytes.substr(0, nul);
        if (!g_utf8_validate(run.data(), static_cast<gssize>(run.size()), nullptr))
            return false;
        if (nul == std::string_view::npos)
            return true;
        bytes.remove_prefix(nul + 1);
    }
}

// An attribute value: D-Bus strings are UTF-8 without NUL.
bool isIdentifier(std::string_view text, std::size_t maximumBytes)
{
    return !text.empty() && text.size() <= maximumBytes && g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr);
}

// The two attributes as C strings, once both are known to be identifiers.
struct ItemAttributes {
    std::string service;
    std::string account;

    static Result<ItemAttributes, KeychainClientError> from(std::string_view service, std::string_view account)
    {
        if (!isIdentifier(service, maximumServiceBytes) || !isIdentifier(account, maximumAccountBytes))
            return fail(KeychainClientError::invalidIdentifier());
        return ItemAttributes { std::string(service), std::string(account) };
    }
};

Status<KeychainClientError> checked(const glib::GErrorOut& error)
{
    if (auto status = error.status(); status.isError())
        return fail(KeychainClientError::operationFailed(status.error().code));
    return Ok {};
}

} // namespace

Result<std::optional<std::string>, KeychainClientError> SystemKeychainClient::read(std::string_view service, std::string_view account)
{
    auto item = TRY(ItemAttributes::from(service, account));
    glib::GErrorOut error;
    auto value = glib::adoptGRef(secret_password_lookup_binary_sync(&tokenSchema(), nullptr, error.out(),
        "service", item.service.c_str(), "account", item.account.c_str(), nullptr));
    TRY(checked(error));
    if (!value)
        return std::optional<std::string>();
    gsize length = 0;
    const gchar* bytes = secret_value_get(value.get(), &length);
    std::string text(bytes ? bytes : "", bytes ? length : 0);
    if (!isUTF8(text))
        return fail(KeychainClientError::invalidEncoding());
    return std::optional(std::move(text));
}

Status<KeychainClientError> SystemKeychainClient::write(std::string_view service, std::string_view account, std::string_view value)
{
    auto item = TRY(ItemAttributes::from(service, account));
    if (!isUTF8(value))
        return fail(KeychainClientError::invalidEncoding());
    auto secret = glib::adoptGRef(secret_value_new(value.data(), static_cast<gssize>(value.size()), "text/plain"));
    // The label is what a key store manager lists: whose token, never the token.
    auto label = std::string(ProductIdentity::displayName) + " saved account " + item.account;
    glib::GErrorOut error;
    secret_password_store_binary_sync(&tokenSchema(), SECRET_COLLECTION_DEFAULT, label.c_str(), secret.get(), nullptr, error.out(),
        "service", item.service.c_str(), "account", item.account.c_str(), nullptr);
    return checked(error);
}

Status<KeychainClientError> SystemKeychainClient::remove(std::string_view service, std::string_view account)
{
    auto item = TRY(ItemAttributes::from(service, account));
    glib::GErrorOut error;
    // FALSE without an error means there was no item: nothing to remove is fine.
    secret_password_clear_sync(&tokenSchema(), nullptr, error.out(), "service", item.service.c_str(), "account", item.account.c_str(), nullptr);
    return checked(error);
}

} // namespace quorin
