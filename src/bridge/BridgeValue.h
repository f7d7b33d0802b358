#pragma once

// The JSON-like value of every bridge argument, result and event payload. Immutable;
// containers are shared, so copies are cheap and values may cross threads.

#include <map>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <variant>
#include <vector>

namespace quorin {

class BridgeValue {
public:
    using Array = std::vector<BridgeValue>;
    using Object = std::map<std::string, BridgeValue, std::less<>>;

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

} // namespace quorin
