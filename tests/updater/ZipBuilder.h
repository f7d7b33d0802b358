#pragma once

// ZIP archives written field by field (stored entries, no CRC), so a test can break any one
// field of any record and see the structure check refuse it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorin::testing {

struct ZipEntry {
    std::string name;
    std::string data;
    std::uint32_t mode { 0100644 }; // file type and permissions, the upper half of the external attributes
};

struct Zip {
    std::string bytes;
    std::vector<std::size_t> local;   // offset of each local header
    std::vector<std::size_t> central; // offset of each central header
    std::size_t end { 0 };            // offset of the end record

    // Overwrites `width` bytes at `offset` with `value`, little-endian.
    Zip& put(std::size_t offset, std::uint32_t value, int width)
    {
        for (int index = 0; index < width; ++index)
            bytes[offset + index] = static_cast<char>(value >> (8 * index));
        return *this;
    }
};

inline void append(std::string& bytes, std::uint32_t value, int width)
{
    for (int index = 0; index < width; ++index)
        bytes.push_back(static_cast<char>(value >> (8 * index)));
}

inline Zip zipOf(const std::vector<ZipEntry>& entries, std::string_view comment = {})
{
    Zip zip;
    for (const auto& entry : entries) {
        zip.local.push_back(zip.bytes.size());
        for (auto [value, width] : { std::pair { 0x04034b50u, 4 }, { 20u, 2 }, { 0u, 2 }, { 0u, 2 }, { 0u, 4 }, { 0u, 4 } })
            append(zip.bytes, value, width);
        for (auto value : { entry.data.size(), entry.data.size() })
            append(zip.bytes, static_cast<std::uint32_t>(value), 4);
        append(zip.bytes, static_cast<std::uint32_t>(entry.name.size()), 2);
        append(zip.bytes, 0, 2);
        zip.bytes += entry.name + entry.data;
    }
    auto directory = zip.bytes.size();
    for (std::size_t index = 0; index < entries.size(); ++index) {
        const auto& entry = entries[index];
        zip.central.push_back(zip.bytes.size());
        for (auto [value, width] : { std::pair { 0x02014b50u, 4 }, { 0x031Eu, 2 }, { 20u, 2 }, { 0u, 2 }, { 0u, 2 }, { 0u, 4 }, { 0u, 4 } })
            append(zip.bytes, value, width);
        for (auto value : { entry.data.size(), entry.data.size() })
            append(zip.bytes, static_cast<std::uint32_t>(value), 4);
        append(zip.bytes, static_cast<std::uint32_t>(entry.name.size()), 2);
        for (int field = 0; field < 4; ++field) // extra and comment lengths, disk, internal attributes
            append(zip.bytes, 0, 2);
        append(zip.bytes, entry.mode << 16, 4);
        append(zip.bytes, static_cast<std::uint32_t>(zip.local[index]), 4);
        zip.bytes += entry.name;
    }
    zip.end = zip.bytes.size();
    append(zip.bytes, 0x06054b50u, 4);
    append(zip.bytes, 0, 4);
    append(zip.bytes, static_cast<std::uint32_t>(entries.size()), 2);
    append(zip.bytes, static_cast<std::uint32_t>(entries.size()), 2);
    append(zip.bytes, static_cast<std::uint32_t>(zip.end - directory), 4);
    append(zip.bytes, static_cast<std::uint32_t>(directory), 4);
    append(zip.bytes, static_cast<std::uint32_t>(comment.size()), 2);
    zip.bytes += comment;
    return zip;
}

} // namespace quorin::testing
