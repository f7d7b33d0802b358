#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quorin {

// A UUID, read from its standard text form.
class Uuid {
public:
    // Parses the standard 8-4-4-4-12 hexadecimal form, either case.
    static std::optional<Uuid> parse(std::string_view text);

    bool operator==(const Uuid&) const = default;

private:
    std::array<std::uint8_t, 16> m_bytes {};
};

} // namespace quorin
