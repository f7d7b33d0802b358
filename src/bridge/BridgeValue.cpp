#include "BridgeValue.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <functional>
#include <nlohmann/json.hpp>

namespace quorin {

BridgeValue::BridgeValue()
    : m_storage(nullptr)
{
}

BridgeValue BridgeValue::boolean(bool value)
{
    return BridgeValue(std::in_place_index<0>, value);
}

BridgeValue BridgeValue::number(double value)
{
    assert(std::isfinite(value));
    return BridgeValue(std::in_place_index<1>, value);
}

BridgeValue BridgeValue::string(std::string value)
{
    return BridgeValue(std::in_place_index<2>, std::move(value));
}

BridgeValue BridgeValue::array(Array elements)
{
    return BridgeValue(std::in_place_index<3>, std::make_shared<const Array>(std::move(elements)));
}

BridgeValue BridgeValue::object(Object members)
{
    return BridgeValue(std::in_place_index<4>, std::make_shared<const Object>(std::move(members)));
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

bool keyLess(const BridgeValue::Object::value_type& member, std::string_view key)
{
    return member.first < key;
}

} // namespace

BridgeValue::Object::Object(std::initializer_list<value_type> members)
    : m_members(members)
{
    auto byKey = [](const value_type& a, const value_type& b) { return a.first < b.first; };
    // Stable, so that the first of equal keys stays first.
    if (std::adjacent_find(m_members.begin(), m_members.end(), std::not_fn(byKey)) == m_members.end())
        return;
    std::stable_sort(m_members.begin(), m_members.end(), byKey);
    auto sameKey = [](const value_type& a, const value_type& b) { return a.first == b.first; };
    m_members.erase(std::unique(m_members.begin(), m_members.end(), sameKey), m_members.end());
}

BridgeValue::Object BridgeValue::Object::fromSorted(std::vector<value_type> members)
{
    assert(std::adjacent_find(members.begin(), members.end(), [](const value_type& a, const value_type& b) { return a.first >= b.first; }) == members.end());
    Object object;
    object.m_members = std::move(members);
    return object;
}

BridgeValue::Object::const_iterator BridgeValue::Object::find(std::string_view key) const
{
    auto member = std::lower_bound(m_members.begin(), m_members.end(), key, keyLess);
    return member != m_members.end() && member->first == key ? member : m_members.end();
}

std::pair<BridgeValue::Object::const_iterator, bool> BridgeValue::Object::emplace(std::string key, BridgeValue value)
{
    auto member = std::lower_bound(m_members.begin(), m_members.end(), key, keyLess);
    if (member != m_members.end() && member->first == key)
        return { member, false };
    return { m_members.emplace(member, std::move(key), std::move(value)), true };
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
