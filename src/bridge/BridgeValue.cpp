#include "BridgeValue.h"

#include "BridgeRequest.h"

#include <cassert>
#include <cmath>
#include <nlohmann/json.hpp>

namespace quorin {

using ErrorCase = BridgeRequestError::Case;

BridgeValue::BridgeValue()
    : m_storage(nullptr)
{
}

BridgeValue::BridgeValue(Storage storage)
    : m_storage(std::move(storage))
{
}

BridgeValue BridgeValue::boolean(bool value)
{
    return BridgeValue(Storage(std::in_place_index<0>, value));
}

BridgeValue BridgeValue::number(double value)
{
    assert(std::isfinite(value));
    return BridgeValue(Storage(std::in_place_index<1>, value));
}

BridgeValue BridgeValue::string(std::string value)
{
    return BridgeValue(Storage(std::in_place_index<2>, std::move(value)));
}

BridgeValue BridgeValue::array(Array elements)
{
    return BridgeValue(Storage(std::in_place_index<3>, std::make_shared<const Array>(std::move(elements))));
}

BridgeValue BridgeValue::object(Object members)
{
    return BridgeValue(Storage(std::in_place_index<4>, std::make_shared<const Object>(std::move(members))));
}

BridgeValue::Kind BridgeValue::kind() const
{
    // The storage alternatives are declared in the order of the cases.
    return static_cast<Kind>(m_storage.index());
}

bool BridgeValue::asBool() const
{
    return std::get<0>(m_storage);
}

double BridgeValue::asNumber() const
{
    return std::get<1>(m_storage);
}

const std::string& BridgeValue::asString() const
{
    return std::get<2>(m_storage);
}

const BridgeValue::Array& BridgeValue::asArray() const
{
    return *std::get<3>(m_storage);
}

const BridgeValue::Object& BridgeValue::asObject() const
{
    return *std::get<4>(m_storage);
}

bool BridgeValue::operator==(const BridgeValue& other) const
{
    if (kind() != other.kind())
        return false;
    switch (kind()) {
    case Kind::Bool:
        return asBool() == other.asBool();
    case Kind::Number:
        return asNumber() == other.asNumber();
    case Kind::String:
        return asString() == other.asString();
    case Kind::Array:
        return asArray() == other.asArray();
    case Kind::Object:
        return asObject() == other.asObject();
    case Kind::Null:
        return true;
    }
    return false;
}

namespace {

Result<BridgeValue, BridgeRequestError> failWith(ErrorCase errorCase)
{
    return fail(BridgeRequestError::of(errorCase));
}

Result<BridgeValue, BridgeRequestError> decodeNumber(double value)
{
    if (!std::isfinite(value))
        return failWith(ErrorCase::InvalidValue);
    return BridgeValue::number(value);
}

} // namespace

Result<BridgeValue, BridgeRequestError> BridgeValue::decode(const nlohmann::json& tree, int depth)
{
    using Type = nlohmann::json::value_t;
    if (depth > BridgeRequest::maximumDepth)
        return failWith(ErrorCase::ValueTooDeep);
    switch (tree.type()) {
    case Type::null:
        return BridgeValue::null();
    case Type::boolean:
        return BridgeValue::boolean(tree.get<bool>());
    case Type::string: {
        const auto& text = tree.get_ref<const std::string&>();
        if (text.size() > BridgeRequest::maximumStringBytes)
            return failWith(ErrorCase::ValueTooLarge);
        return BridgeValue::string(text);
    }
    case Type::number_integer:
    case Type::number_unsigned:
    case Type::number_float:
        return decodeNumber(tree.get<double>());
    case Type::array: {
        if (tree.size() > BridgeRequest::maximumContainerEntries)
            return failWith(ErrorCase::ValueTooLarge);
        Array elements;
        elements.reserve(tree.size());
        for (const auto& element : tree)
            elements.push_back(TRY(decode(element, depth + 1)));
        return BridgeValue::array(std::move(elements));
    }
    case Type::object: {
        if (tree.size() > BridgeRequest::maximumContainerEntries)
            return failWith(ErrorCase::ValueTooLarge);
        // nlohmann's object is an ordered map, so members come in ascending key order.
        Object members;
        for (const auto& [key, member] : tree.get_ref<const nlohmann::json::object_t&>()) {
            if (key.size() > BridgeRequest::maximumKeyBytes)
                return failWith(ErrorCase::ValueTooLarge);
            members.emplace_hint(members.end(), key, TRY(decode(member, depth + 1)));
        }
        return BridgeValue::object(std::move(members));
    }
    case Type::binary:
    case Type::discarded:
        break;
    }
    return failWith(ErrorCase::InvalidValue);
}

namespace {

// Whole numbers travel as integers so the text reads as the page would write it
// (1 rather than 1.0); 2^53 bounds the range where a double holds every integer.
nlohmann::json numberJson(double value)
{
    constexpr double exactIntegerLimit = 9007199254740992.0;
    if (std::isfinite(value) && std::trunc(value) == value && std::fabs(value) <= exactIntegerLimit)
        return static_cast<std::int64_t>(value);
    return value; // a non-finite value (broken precondition) is written as null
}

} // namespace

nlohmann::json BridgeValue::toJson() const
{
    switch (kind()) {
    case Kind::Bool:
        return asBool();
    case Kind::Number:
        return numberJson(asNumber());
    case Kind::String:
        return asString();
    case Kind::Array: {
        auto result = nlohmann::json::array();
        for (const auto& element : asArray())
            result.push_back(element.toJson());
        return result;
    }
    case Kind::Object: {
        auto result = nlohmann::json::object();
        for (const auto& [key, member] : asObject())
            result.emplace(key, member.toJson());
        return result;
    }
    case Kind::Null:
        break;
    }
    return nullptr;
}

std::string BridgeValue::jsonText() const
{
    // Host-made strings may hold invalid UTF-8; replace such bytes instead of throwing.
    return toJson().dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace quorin
