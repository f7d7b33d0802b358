#include "JsonKeyStack.h"

namespace quorin {

void JsonKeyStack::openObject()
{
    m_objects.push_back({ m_entries.size(), nullptr });
}

void JsonKeyStack::closeObject()
{
    std::size_t first = m_objects.back().firstEntry;
    m_bytes.resize(first < m_entries.size() ? m_entries[first].offset : m_bytes.size());
    m_entries.resize(first);
    m_objects.pop_back();
}

std::size_t JsonKeyStack::innermostSize() const
{
    return m_entries.size() - m_objects.back().firstEntry;
}

JsonKeyStack::Lookup JsonKeyStack::insert(std::string_view key)
{
    Object& object = m_objects.back();
    if (object.index) {
        auto [slot, inserted] = object.index->try_emplace(std::string(key), m_entries.size());
        if (inserted)
            add(key);
        return { slot->second, inserted };
    }
    for (std::size_t i = object.firstEntry; i < m_entries.size(); ++i) {
        if (keyOf(m_entries[i]) == key)
            return { i, false };
    }
    std::size_t index = add(key);
    if (innermostSize() > linearSearchLimit) {
        object.index = std::make_unique<std::unordered_map<std::string, std::size_t>>();
        for (std::size_t i = object.firstEntry; i < m_entries.size(); ++i)
            object.index->emplace(keyOf(m_entries[i]), i);
    }
    return { index, true };
}

std::size_t JsonKeyStack::add(std::string_view key)
{
    m_entries.push_back({ m_bytes.size(), key.size(), {} });
    m_bytes.append(key);
    return m_entries.size() - 1;
}

} // namespace quorin
