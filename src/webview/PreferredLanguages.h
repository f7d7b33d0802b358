#pragma once

#include <string>
#include <vector>

namespace quorin {

// The user's preferred languages as tags ("tr-TR", "tr", "en"), most preferred first, from the
// locale environment (LANGUAGE, LC_ALL, LC_MESSAGES, LANG); "C" and "POSIX" are skipped.
std::vector<std::string> preferredLanguages();

} // namespace quorin
