#pragma once

// Helpers for the bridge message tests: request bodies as JSON text, readable errors, and
// a plain reference decoder that applies the request checks and value rules in order to
// nlohmann's parsed tree, for comparison with the decoder.

#include "bridge/BridgeRequest.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>

namespace quorin {

inline const char* caseName(BridgeRequestError::Case errorCase)
{
    using Case = BridgeRequestError::Case;
    switch (errorCase) {
    case Case::UnknownKey:
        return "unknownKey";
    case Case::InvalidBody:
        return "invalidBody";
    case Case::PayloadTooLarge:
        return "payloadTooLarge";
    case Case::InvalidSchema:
        return "invalidSchema";
    case Case::InvalidRequestID:
        return "invalidRequestID";
    case Case::UnknownMethod:
        return "unknownMethod";
    case Case::InvalidArguments:
        return "invalidArguments";
    case Case::InvalidValue:
        return "invalidValue";
    case Case::ValueTooDeep:
        return "valueTooDeep";
    case Case::ValueTooLarge:
        return "valueTooLarge";
    }
    return "?";
}

// GoogleTest finds these by argument-dependent lookup.
inline void PrintTo(const BridgeRequestError& error, std::ostream* out)
{
    *out << caseName(error.errorCase);
    if (error.errorCase == BridgeRequestError::Case::UnknownKey)
        *out << "(" << error.key << ")";
}

inline void PrintTo(const BridgeValue& value, std::ostream* out)
{
    *out << value.jsonText();
}

namespace test {

// Members of a request body as raw JSON text; an empty field is left out.
struct Body {
    std::string schemaVersion = "1";
    std::string requestId = R"("r")";
    std::string method = R"("getAppInfo")";
    std::string arguments = "[]";
    std::string extra = {}; // raw members appended at the end

    std::string text() const
    {
        std::string text = "{";
        auto add = [&](const char* name, const std::string& value) {
            if (value.empty())
                return;
            if (text.size() > 1)
                text += ",";
            text += std::string("\"") + name + "\":" + value;
        };
        add("schemaVersion", schemaVersion);
        add("requestId", requestId);
        add("method", method);
        add("arguments", arguments);
        if (!extra.empty())
            text += (text.size() > 1 ? "," : "") + extra;
        return text + "}";
    }
};

inline std::string repeat(const std::string& unit, std::size_t count)
{
    std::string text;
    text.reserve(unit.size() * count);
    for (std::size_t i = 0; i < count; ++i)
        text += unit;
    return text;
}

inline std::string jsonString(const std::string& text)
{
    return "\"" + text + "\"";
}

// `levels` arrays around `inner`.
inline std::string nested(std::size_t levels, const std::string& inner)
{
    return repeat("[", levels) + inner + repeat("]", levels);
}

// `count` comma-separated copies of `element`.
inline std::string list(const std::string& element, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += (i ? "," : "") + element;
    return text;
}

// An object with members "k0".."k<count-1>", each holding `value`.
inline std::string objectOf(std::size_t count, const std::string& value = "0")
{
    std::string text = "{";
    for (std::size_t i = 0; i < count; ++i)
        text += (i ? ",\"k" : "\"k") + std::to_string(i) + "\":" + value;
    return text + "}";
}

// The value rules applied to nlohmann's parsed tree, which never holds a non-finite number.
inline Result<BridgeValue, BridgeRequestError> referenceValue(const nlohmann::json& tree, int depth)
{
    auto failed = [](BridgeRequestError::Case errorCase) { return Result<BridgeValue, BridgeRequestError>(fail(BridgeRequestError::of(errorCase))); };
    if (depth > 8)
        return failed(BridgeRequestError::Case::ValueTooDeep);
    if (tree.is_null())
        return BridgeValue::null();
    if (tree.is_boolean())
        return BridgeValue::boolean(tree.get<bool>());
    if (tree.is_number())
        return BridgeValue::number(tree.get<double>());
    if (tree.is_string() && tree.get_ref<const std::string&>().size() <= 32768)
        return BridgeValue::string(tree.get<std::string>());
    if (tree.is_string() || tree.size() > 128)
        return failed(BridgeRequestError::Case::ValueTooLarge);
    BridgeValue::Array elements;
    BridgeValue::Object members;
    for (const auto& [key, member] : tree.items()) { // objects in ascending key order
        if (tree.is_object() && key.size() > 128)
            return failed(BridgeRequestError::Case::ValueTooLarge);
        auto value = referenceValue(member, depth + 1);
        if (value.isError())
            return value;
        if (tree.is_array())
            elements.push_back(value.releaseValue());
        else
            members.emplace(key, value.releaseValue());
    }
    return tree.is_array() ? BridgeValue::array(std::move(elements)) : BridgeValue::object(std::move(members));
}

// The request checks applied to nlohmann's parsed tree, one after another. Nullopt when
// nlohmann cannot build the tree for a reason other than syntax (a number beyond the
// double range), which the reference does not model.
inline std::optional<Result<BridgeRequest, BridgeRequestError>> referenceDecode(std::string_view text)
{
    using Case = BridgeRequestError::Case;
    auto failed = [](Case errorCase) { return Result<BridgeRequest, BridgeRequestError>(fail(BridgeRequestError::of(errorCase))); };
    // nlohmann reads a NUL byte as the end of the input; JSON never allows a raw one.
    if (text.find('\0') != std::string_view::npos)
        return failed(Case::InvalidBody);
    nlohmann::json tree;
    try {
        tree = nlohmann::json::parse(text.begin(), text.end());
    } catch (const nlohmann::json::parse_error&) {
        return failed(Case::InvalidBody);
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
    if (!tree.is_object() && !tree.is_array())
        return failed(Case::InvalidBody);
    if (tree.dump().size() > BridgeRequest::maximumBodyBytes)
        return failed(Case::PayloadTooLarge);
    if (tree.is_array())
        return failed(Case::InvalidBody);
    for (const auto& [key, value] : tree.get_ref<const nlohmann::json::object_t&>()) {
        if (key != "schemaVersion" && key != "requestId" && key != "method" && key != "arguments")
            return Result<BridgeRequest, BridgeRequestError>(fail(BridgeRequestError::unknownKey(key)));
    }
    if (tree.size() != 4)
        return failed(Case::InvalidSchema);
    const auto& version = tree["schemaVersion"];
    if (!version.is_number() || version.get<double>() != 1.0)
        return failed(Case::InvalidSchema);
    const auto& id = tree["requestId"];
    if (!id.is_string() || id.get<std::string>().empty() || id.get<std::string>().size() > 64
        || id.get<std::string>().find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_-") != std::string::npos)
        return failed(Case::InvalidRequestID);
    const auto& method = tree["method"];
    auto known = method.is_string() ? bridgeMethodFromWireString(method.get<std::string>()) : std::nullopt;
    if (!known)
        return failed(Case::UnknownMethod);
    const auto& arguments = tree["arguments"];
    if (!arguments.is_array() || arguments.size() > 16)
        return failed(Case::InvalidArguments);
    std::vector<BridgeValue> values;
    for (const auto& argument : arguments) {
        auto value = referenceValue(argument, 0);
        if (value.isError())
            return Result<BridgeRequest, BridgeRequestError>(fail(value.releaseError()));
        values.push_back(value.releaseValue());
    }
    return Result<BridgeRequest, BridgeRequestError>(BridgeRequest(id.get<std::string>(), *known, std::move(values)));
}

} // namespace test
} // namespace quorin
