#pragma once

// The distinct keys of every open JSON object, innermost last, as a parser meets them.
// A nested object closes before its parent reads its next key, so all keys live on one
// stack and a deeply nested text costs a few bytes per level. Each key records the
// compact length of its current member and that member's position among all members of
// the text, so a duplicate key can take the earlier member's length out again. Small
// objects are searched linearly; large ones get a hash index.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quorin {

class JsonKeyStack {
public:
    struct Member {
        std::size_t length = 0; // compact length of `"key":value,` once the value ends
        std::size_t position = 0; // index among all members of the text
    };
    struct Lookup {
        std::size_t index;
        bool isNew;
    };

    void openObject();
    void closeObject();
    // Distinct keys of the innermost open object.
    std::size_t innermostSize() const;

    // Finds `key` in the innermost open object, adding it with an empty member if new.
    Lookup insert(std::string_view key);
    Member& member(std::size_t index) { return m_entries[index].member; }

private:
    static constexpr std::size_t linearSearchLimit = 16;

    struct Entry {
        std::size_t offset; // of the key's bytes in m_bytes
        std::size_t size;
        Member member;
    };
    struct Object {
        std::size_t firstEntry;
        std::unique_ptr<std::unordered_map<std::string, std::size_t>> index;
    };

    std::string_view keyOf(const Entry& entry) const { return std::string_view(m_bytes).substr(entry.offset, entry.size); }
    std::size_t add(std::string_view key);

    std::string m_bytes;
    std::vector<Entry> m_entries;
    std::vector<Object> m_objects;
};

} // namespace quorin
