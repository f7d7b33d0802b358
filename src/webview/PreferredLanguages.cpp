#include "PreferredLanguages.h"

#include <algorithm>
#include <glib.h>

namespace quorin {

static std::string languageTag(std::string name)
{
    // "tr_TR.UTF-8@euro" -> "tr-TR"
    name = name.substr(0, name.find_first_of(".@"));
    std::replace(name.begin(), name.end(), '_', '-');
    return name;
}

std::vector<std::string> preferredLanguages()
{
    std::vector<std::string> tags;
    for (auto* names = g_get_language_names(); *names; ++names) {
        std::string tag = languageTag(*names);
        if (tag.empty() || tag == "C" || tag == "POSIX")
            continue;
        if (std::find(tags.begin(), tags.end(), tag) == tags.end())
            tags.push_back(std::move(tag));
    }
    return tags;
}

} // namespace quorin
