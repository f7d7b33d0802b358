#include "BridgeBootstrapScript.h"

#include "BridgeMethod.h"
#include "BridgePageHandler.h"
#include "bridge/BootstrapScriptSource.h"
#include "core/PlatformValues.h"

#include <nlohmann/json.hpp>

namespace quorin {

namespace {

// bootstrap.js holds "@NAME@" markers: the fixed ones are filled with JSON once, the two
// maps per script by make().
constexpr std::string_view runtimeConfigMarker = "@RUNTIME_CONFIG@";
constexpr std::string_view nativeHostMarker = "@NATIVE_HOST@";

// Page members that subscribe to a host event, each placed right after the method it follows.
struct EventMember {
    BridgeMethod follows;
    std::string_view path;
    std::string_view event;
};

constexpr EventMember eventMembers[] = {
    { BridgeMethod::LauncherUpdateInstall, "launcherUpdates.onStateChanged", "updateStateChanged" },
    { BridgeMethod::PreferencesClearPlayBackgroundTheme, "preferences.onChanged", "preferencesChanged" },
    { BridgeMethod::ShowItemInFolder, "onDeepLink", "deepLink" },
    { BridgeMethod::ShowItemInFolder, "onGameNavigationRedirect", "gameNavigationRedirect" },
};

// The page API's members in order, from the method table: what bootstrap.js builds
// `window.electronAPI` from.
nlohmann::json apiMembers()
{
    auto members = nlohmann::json::array();
    for (auto method : allBridgeMethods()) {
        auto call = pageCallOf(method);
        members.push_back({
            { "path", wireString(method) },
            { "method", wireString(method) },
            { "argumentCount", call.argumentCount },
            { "fire", call.reply == BridgePageCall::Reply::Dropped },
            { "emptyObjectDefault", call.missingPayload == BridgePageCall::MissingPayload::EmptyObject },
        });
        for (const auto& member : eventMembers) {
            if (member.follows == method)
                members.push_back({ { "path", member.path }, { "event", member.event } });
        }
    }
    return members;
}

std::string javaScriptStringLiteral(std::string_view text)
{
    return nlohmann::json(std::string(text)).dump();
}

void replaceAll(std::string& text, std::string_view marker, std::string_view replacement)
{
    for (auto at = text.find(marker); at != std::string::npos; at = text.find(marker, at + replacement.size()))
        text.replace(at, marker.size(), replacement);
}

// The fixed text around the two embedded maps: opening, middle and remainder.
struct ScriptPieces {
    std::string opening;
    std::string middle;
    std::string remainder;
};

ScriptPieces makeScriptPieces()
{
    std::string text(embedded::bootstrapScript);
    replaceAll(text, "@API_MEMBERS@", apiMembers().dump());
    replaceAll(text, "@HANDLER_GLOBAL@", javaScriptStringLiteral(bridgePageHandlerGlobal));
    replaceAll(text, "@HOST_KIND@", javaScriptStringLiteral(PlatformValues::nativeHostKind));
    replaceAll(text, "@REQUEST_ID_PREFIX@", javaScriptStringLiteral(PlatformValues::requestIdPrefix));
    auto first = text.find(runtimeConfigMarker);
    auto second = text.find(nativeHostMarker);
    return {
        text.substr(0, first),
        text.substr(first + runtimeConfigMarker.size(), second - first - runtimeConfigMarker.size()),
        text.substr(second + nativeHostMarker.size()),
    };
}

const ScriptPieces& scriptPieces()
{
    static const ScriptPieces pieces = makeScriptPieces();
    return pieces;
}

// Keeps embedded data from closing a script element or ending a script line.
std::string escapeForScript(std::string_view json)
{
    std::string escaped;
    escaped.reserve(json.size());
    for (std::size_t i = 0; i < json.size(); ++i) {
        std::string_view rest = json.substr(i);
        if (rest.front() == '<') {
            escaped += "\\u003c";
        } else if (rest.starts_with("\xE2\x80\xA8")) {
            escaped += "\\u2028";
            i += 2;
        } else if (rest.starts_with("\xE2\x80\xA9")) {
            escaped += "\\u2029";
            i += 2;
        } else {
            escaped += rest.front();
        }
    }
    return escaped;
}

} // namespace

Result<std::string, BridgeBootstrapScriptError> BridgeBootstrapScript::safeJSONText(const BridgeValue::Object& object)
{
    std::string json;
    try {
        // Strict: bytes that are not UTF-8 are refused rather than replaced.
        json = BridgeValue::object(object).toJson().dump(-1, ' ', false, nlohmann::json::error_handler_t::strict);
    } catch (const nlohmann::json::exception&) {
        return fail(BridgeBootstrapScriptError::encodingFailed());
    }
    return escapeForScript(json);
}

Result<std::string, BridgeBootstrapScriptError> BridgeBootstrapScript::make(const BridgeValue::Object& runtimeConfig, const BridgeValue::Object& nativeHost)
{
    auto runtimeConfigJSON = TRY(safeJSONText(runtimeConfig));
    auto nativeHostJSON = TRY(safeJSONText(nativeHost));
    const auto& pieces = scriptPieces();
    return pieces.opening + runtimeConfigJSON + pieces.middle + nativeHostJSON + pieces.remainder;
}

} // namespace quorin
