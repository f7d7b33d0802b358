#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorin {

// A UUID: random (version 4), or read from its standard text form.
class Uuid {
public:
    // From OpenSSL's generator; aborts when that cannot deliver, since a guessable value
    // would be worse than none.
    static Uuid random();
    // Parses the standard 8-4-4-4-12 hexadecimal form, either case.
    static std::optional<Uuid> parse(std::string_view text);

    std::string lowerString() const; // "e621e1f8-c36c-495a-93fc-0c247a3e6e5f"

    bool operator==(const Uuid&) const = default;

private:
    std::array<std::uint8_t, 16> m_bytes {};
};

} // namespace quorin
