#pragma once

// The JSON-like value of every bridge argument, result and event payload. Immutable;
// containers are shared, so copies are cheap and values may cross threads.

#include <initializer_list>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace quorin {

class BridgeValue {
public:
    using Array = std::vector<BridgeValue>;
    class Object; // below

    enum class Kind { Bool, Number, String, Array, Object, Null };

    BridgeValue(); // null
    static BridgeValue null() { return {}; }
    static BridgeValue boolean(bool value);
    static BridgeValue number(double value); // must be finite
    static BridgeValue string(std::string value);
    static BridgeValue array(Array elements);
    static BridgeValue object(Object members);

    Kind kind() const;
    bool isNull() const { return kind() == Kind::Null; }
    bool isBool() const { return kind() == Kind::Bool; }
    bool isNumber() const { return kind() == Kind::Number; }
    bool isString() const { return kind() == Kind::String; }
    bool isArray() const { return kind() == Kind::Array; }
    bool isObject() const { return kind() == Kind::Object; }

    // Accessors; calling one for another kind is a programming error.
    bool asBool() const;
    double asNumber() const;
    const std::string& asString() const;
    const Array& asArray() const;
    const Object& asObject() const;

    // Structural equality: arrays element by element, objects as maps.
    bool operator==(const BridgeValue& other) const;

    // The plain JSON form (replies, events).
    nlohmann::json toJson() const;
    // Compact JSON text, object keys sorted, "/" not escaped, UTF-8.
    std::string jsonText() const;

private:
    using Storage = std::variant<bool, double, std::string, std::shared_ptr<const Array>, std::shared_ptr<const Object>, std::nullptr_t>;
    // Builds the alternative in place, so that a factory moves nothing.
    template<std::size_t index, typename Argument>
    BridgeValue(std::in_place_index_t<index> alternative, Argument&& argument)
        : m_storage(alternative, std::forward<Argument>(argument))
    {
    }

    Storage m_storage;
};

// The members of an object in one vector sorted by key bytes, as std::map orders them:
// built once, looked up by binary search, with no allocation per member.
class BridgeValue::Object {
public:
    using value_type = std::pair<std::string, BridgeValue>;
    using const_iterator = std::vector<value_type>::const_iterator;
    using iterator = const_iterator; // members are changed only through emplace

    Object() = default;
    // Of equal keys the first is kept, as inserting into a map keeps it.
    Object(std::initializer_list<value_type> members);
    // For members already in ascending key order with unique keys (checked in debug builds).
    static Object fromSorted(std::vector<value_type> members);

    const_iterator begin() const { return m_members.begin(); }
    const_iterator end() const { return m_members.end(); }
    std::size_t size() const { return m_members.size(); }
    bool empty() const { return m_members.empty(); }

    const_iterator find(std::string_view key) const;
    bool contains(std::string_view key) const { return find(key) != end(); }
    // Adds the member unless its key is present, as std::map::emplace does.
    std::pair<const_iterator, bool> emplace(std::string key, BridgeValue value);

    bool operator==(const Object&) const = default;

private:
    std::vector<value_type> m_members;
};

} // namespace quorin
