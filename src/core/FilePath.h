#pragma once

// File-system paths as "/"-separated text, joined and split in one place.

#include <string>
#include <string_view>
#include <vector>

namespace quorin::filePath {

// `base` and `relative` with exactly one "/" between them; `relative` alone when `base` is
// empty, `base` alone when `relative` is.
std::string joined(std::string_view base, std::string_view relative);

// The pieces between "/" separators, in order, empty pieces included:
// "/a//b" -> "", "a", "", "b".
std::vector<std::string_view> components(std::string_view path);

// One name inside a folder: not empty, not "." or "..", no "/" and no NUL byte, so it
// cannot reach outside the folder it is joined to.
bool isPlainComponent(std::string_view name);

// Everything before the last "/" ("/" for "/name", "." when there is no "/").
std::string folder(std::string_view path);
// Everything after the last "/" (the whole path when there is no "/").
std::string_view name(std::string_view path);

// The lexically normal form without a trailing "/" ("/a/./b/" -> "/a/b"), so two spellings
// of one place compare equal without touching the disk.
std::string standardized(std::string_view path);

} // namespace quorin::filePath
