#include "UpdateZIPDirectory.h"

#include "Utf8.h"

#include "core/FilePath.h"
#include "core/ProductIdentity.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string>

namespace quorin::UpdateZIPDirectory {

namespace {

constexpr std::uint32_t endSignature = 0x06054b50;
constexpr std::uint32_t centralSignature = 0x02014b50;
constexpr std::uint32_t localSignature = 0x04034b50;
constexpr std::uint64_t endRecordSize = 22;
constexpr std::uint64_t centralHeaderSize = 46;
constexpr std::uint64_t localHeaderSize = 30;
constexpr std::uint64_t largestComment = 65535;
constexpr std::uint32_t maximumEntries = 10000;
constexpr std::uint32_t maximumNameLength = 1023;
constexpr std::uint32_t encryptionFlags = 0x41; // bit 0 encrypted, bit 6 strong encryption
constexpr std::uint32_t fileTypeMask = 0xF000;

Failure<LauncherUpdateError> refuse()
{
    return fail(LauncherUpdateError::invalidArchive());
}

// Little-endian reads that refuse to pass the end of the data.
class Reader {
public:
    explicit Reader(std::string_view data)
        : m_data(data)
    {
    }

    Result<std::uint32_t, LauncherUpdateError> u16(std::uint64_t offset) const { return read(offset, 2); }
    Result<std::uint32_t, LauncherUpdateError> u32(std::uint64_t offset) const { return read(offset, 4); }
    Result<std::string_view, LauncherUpdateError> bytes(std::uint64_t offset, std::uint64_t count) const
    {
        if (offset > m_data.size() || count > m_data.size() - offset)
            return refuse();
        return m_data.substr(offset, count);
    }
    std::uint64_t size() const { return m_data.size(); }

private:
    Result<std::uint32_t, LauncherUpdateError> read(std::uint64_t offset, std::uint64_t width) const
    {
        auto field = TRY(bytes(offset, width));
        std::uint32_t value = 0;
        for (std::size_t index = field.size(); index-- > 0;)
            value = (value << 8) | static_cast<unsigned char>(field[index]);
        return value;
    }

    std::string_view m_data;
};

struct EndRecord {
    std::uint64_t offset;
    std::uint32_t entries;
    std::uint64_t directoryOffset;
};

struct CentralWalk {
    std::uint64_t position;
    std::set<std::string_view> names;
    std::set<std::uint32_t> localOffsets;
    std::uint64_t uncompressedSum { 0 };
};

// The last record whose comment reaches exactly to the end of the data.
Result<std::uint64_t, LauncherUpdateError> findEndRecord(const Reader& reader)
{
    auto size = reader.size();
    auto lowest = size > endRecordSize + largestComment ? size - endRecordSize - largestComment : 0;
    for (auto offset = size - endRecordSize;; --offset) {
        if (TRY(reader.u32(offset)) == endSignature && offset + endRecordSize + TRY(reader.u16(offset + 20)) == size)
            return offset;
        if (offset == lowest)
            return refuse();
    }
}

Result<EndRecord, LauncherUpdateError> readEndRecord(const Reader& reader)
{
    auto offset = TRY(findEndRecord(reader));
    auto entriesOnDisk = TRY(reader.u16(offset + 8));
    auto entries = TRY(reader.u16(offset + 10));
    std::uint64_t directorySize = TRY(reader.u32(offset + 12));
    std::uint64_t directoryOffset = TRY(reader.u32(offset + 16));
    if (TRY(reader.u16(offset + 4)) != 0 || TRY(reader.u16(offset + 6)) != 0)
        return refuse();
    if (entries < 1 || entries > maximumEntries || entries != entriesOnDisk || directoryOffset + directorySize != offset)
        return refuse();
    return EndRecord { offset, entries, directoryOffset };
}

bool isAcceptableName(std::string_view name)
{
    static const std::string prefix = std::string(ProductIdentity::displayName) + ".app/";
    if (!utf8::isValid(name) || !name.starts_with(prefix))
        return false;
    if (std::ranges::any_of(name, [](unsigned char c) { return c < 0x20 || c == 0x7F || c == '\\'; }))
        return false;
    return std::ranges::none_of(filePath::components(name), [](auto part) { return part == "." || part == ".."; });
}

bool isAcceptableFileType(std::uint32_t externalAttributes)
{
    auto type = (externalAttributes >> 16) & fileTypeMask;
    return type == 0 || type == 0x8000 || type == 0x4000;
}

struct CentralEntry {
    std::uint32_t flags;
    std::uint32_t method;
    std::uint64_t compressedSize;
    std::string_view name;
    std::uint32_t localOffset;
};

Status<LauncherUpdateError> checkLocalHeader(const Reader& reader, const CentralEntry& entry, std::uint64_t directoryOffset)
{
    std::uint64_t offset = entry.localOffset;
    if (TRY(reader.u32(offset)) != localSignature)
        return refuse();
    if (TRY(reader.u16(offset + 6)) != entry.flags || TRY(reader.u16(offset + 8)) != entry.method)
        return refuse();
    if (TRY(reader.u16(offset + 26)) != entry.name.size())
        return refuse();
    auto extraLength = TRY(reader.u16(offset + 28));
    if (offset + localHeaderSize + entry.name.size() + extraLength + entry.compressedSize > directoryOffset)
        return refuse();
    if (TRY(reader.bytes(offset + localHeaderSize, entry.name.size())) != entry.name)
        return refuse();
    return Ok {};
}

Status<LauncherUpdateError> checkCentralEntry(const Reader& reader, const EndRecord& end, CentralWalk& walk)
{
    auto at = walk.position;
    if (TRY(reader.u32(at)) != centralSignature)
        return refuse();
    auto nameLength = TRY(reader.u16(at + 28));
    auto entryEnd = at + centralHeaderSize + nameLength + TRY(reader.u16(at + 30)) + TRY(reader.u16(at + 32));
    if (entryEnd > end.offset || nameLength < 1 || nameLength > maximumNameLength)
        return refuse();
    CentralEntry entry { TRY(reader.u16(at + 8)), TRY(reader.u16(at + 10)), TRY(reader.u32(at + 20)),
        TRY(reader.bytes(at + centralHeaderSize, nameLength)), TRY(reader.u32(at + 42)) };
    if ((entry.flags & encryptionFlags) != 0 || (entry.method != 0 && entry.method != 8))
        return refuse();
    if (!isAcceptableFileType(TRY(reader.u32(at + 38))) || TRY(reader.u16(at + 34)) != 0 || !isAcceptableName(entry.name))
        return refuse();
    if (!walk.names.insert(entry.name).second || !walk.localOffsets.insert(entry.localOffset).second)
        return refuse();
    TRY(checkLocalHeader(reader, entry, end.directoryOffset));
    walk.uncompressedSum += TRY(reader.u32(at + 24));
    if (walk.uncompressedSum > maximumUncompressedSize)
        return refuse();
    walk.position = entryEnd;
    return Ok {};
}

} // namespace

Status<LauncherUpdateError> validate(std::string_view archive)
{
    if (archive.size() < endRecordSize || archive.size() > maximumArchiveSize)
        return refuse();
    Reader reader(archive);
    auto end = TRY(readEndRecord(reader));
    CentralWalk walk { end.directoryOffset, {}, {}, 0 };
    for (std::uint32_t index = 0; index < end.entries; ++index)
        TRY(checkCentralEntry(reader, end, walk));
    if (walk.position != end.offset)
        return refuse();
    return Ok {};
}

} // namespace quorin::UpdateZIPDirectory
