#include "ZipWriter.h"

#include <array>

namespace quorin {

namespace {

constexpr std::uint32_t madeByUnix = 0x031E; // UNIX, version 3.0
constexpr std::uint32_t neededVersion = 20;
constexpr std::uint32_t dosDate = 0x0021; // 1980-01-01: the archive does not vary with the clock

// CRC-32 as ZIP uses it (reflected polynomial 0xEDB88320).
std::uint32_t crc32(std::string_view data)
{
    static const auto table = [] {
        std::array<std::uint32_t, 256> values {};
        for (std::uint32_t index = 0; index < 256; ++index) {
            std::uint32_t value = index;
            for (int bit = 0; bit < 8; ++bit)
                value = (value & 1) ? 0xEDB88320 ^ (value >> 1) : value >> 1;
            values[index] = value;
        }
        return values;
    }();
    std::uint32_t crc = 0xFFFFFFFF;
    for (unsigned char byte : data)
        crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFF;
}

void append(std::string& bytes, std::uint32_t value, int width)
{
    for (int index = 0; index < width; ++index)
        bytes.push_back(static_cast<char>(value >> (8 * index)));
}

} // namespace

void ZipWriter::add(std::string_view name, std::string_view data, mode_t mode)
{
    auto offset = static_cast<std::uint32_t>(m_entries.size());
    auto size = static_cast<std::uint32_t>(data.size());
    auto nameLength = static_cast<std::uint32_t>(name.size());
    auto crc = crc32(data);
    // Local header: signature, version, flags, method, time, date, CRC, sizes, name and extra lengths.
    append(m_entries, 0x04034b50, 4);
    for (auto [value, width] : { std::pair { neededVersion, 2 }, { 0u, 2 }, { 0u, 2 }, { 0u, 2 }, { dosDate, 2 }, { crc, 4 },
             { size, 4 }, { size, 4 }, { nameLength, 2 }, { 0u, 2 } })
        append(m_entries, value, width);
    m_entries.append(name).append(data);
    // Central header: the same, then comment length, disk, attributes and the local offset.
    append(m_directory, 0x02014b50, 4);
    for (auto [value, width] : { std::pair { madeByUnix, 2 }, { neededVersion, 2 }, { 0u, 2 }, { 0u, 2 }, { 0u, 2 }, { dosDate, 2 },
             { crc, 4 }, { size, 4 }, { size, 4 }, { nameLength, 2 }, { 0u, 2 }, { 0u, 2 }, { 0u, 2 }, { 0u, 2 },
             { static_cast<std::uint32_t>(mode) << 16, 4 }, { offset, 4 } })
        append(m_directory, value, width);
    m_directory.append(name);
    ++m_count;
}

std::string ZipWriter::finish() &&
{
    auto directoryOffset = static_cast<std::uint32_t>(m_entries.size());
    auto directorySize = static_cast<std::uint32_t>(m_directory.size());
    std::string archive = std::move(m_entries);
    archive += m_directory;
    append(archive, 0x06054b50, 4);
    for (auto [value, width] : { std::pair { 0u, 2 }, { 0u, 2 }, { m_count, 2 }, { m_count, 2 }, { directorySize, 4 }, { directoryOffset, 4 }, { 0u, 2 } })
        append(archive, value, width);
    return archive;
}

} // namespace quorin
