#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorin {

// A random (version 4) UUID.
class Uuid {
public:
    static Uuid random();
    // Parses the standard 8-4-4-4-12 hexadecimal form, either case.
    static std::optional<Uuid> parse(std::string_view text);
    static bool isStandardForm(std::string_view text) { return parse(text).has_value(); }

    std::string upperString() const; // "E621E1F8-C36C-495A-93FC-0C247A3E6E5F"
    std::string lowerString() const; // "e621e1f8-c36c-495a-93fc-0c247a3e6e5f"

    bool operator==(const Uuid&) const = default;

private:
    std::array<std::uint8_t, 16> m_bytes {};
};

} // namespace quorin
