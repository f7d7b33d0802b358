#pragma once

// Archives from the release tool's writer with the offsets of their records, so a test can
// break any one field of any record and see the structure check refuse it.

#include "updater/ZipWriter.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorin::testing {

struct ZipEntry { std::string name, data; mode_t mode { 0100644 }; };

struct Zip {
    std::string bytes;
    std::vector<std::size_t> local;   // offset of each local header
    std::vector<std::size_t> central; // offset of each central header
    std::size_t end { 0 };            // offset of the end record

    std::uint32_t get(std::size_t offset, int width) const
    {
        std::uint32_t value = 0;
        for (int index = width; index-- > 0;)
            value = (value << 8) | static_cast<unsigned char>(bytes[offset + index]);
        return value;
    }
    // Overwrites `width` bytes at `offset` with `value`, little-endian.
    Zip& put(std::size_t offset, std::uint32_t value, int width)
    {
        for (int index = 0; index < width; ++index)
            bytes[offset + index] = static_cast<char>(value >> (8 * index));
        return *this;
    }
};

inline Zip zipOf(const std::vector<ZipEntry>& entries, std::string_view comment = {})
{
    ZipWriter writer;
    for (const auto& entry : entries)
        writer.add(entry.name, entry.data, entry.mode);
    Zip zip;
    zip.bytes = std::move(writer).finish();
    zip.end = zip.bytes.size() - 22;
    zip.put(zip.end + 20, static_cast<std::uint32_t>(comment.size()), 2).bytes += comment;
    for (std::size_t at = zip.get(zip.end + 16, 4); at < zip.end; at += 46 + zip.get(at + 28, 2)) {
        zip.central.push_back(at);
        zip.local.push_back(zip.get(at + 42, 4));
    }
    return zip;
}

} // namespace quorin::testing
