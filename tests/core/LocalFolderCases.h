#pragma once

// File URLs judged against the folder "{root}/WebUI", "{root}" standing for its parent's
// URL path. The UI process and the web-process extension compile the same rule; tests/core
// runs every row against it and tests/e2e loads the rows marked InPage as scripts of a page in
// that folder, where the extension decides. The files those rows name exist there.

#include <string>
#include <string_view>

namespace quorin::test {

struct LocalFolderCase {
    enum class Seen { InPage, RuleOnly }; // RuleOnly: WebKit rewrites or refuses the URL itself
    std::string_view url;
    bool inside;
    Seen seen;
};

inline constexpr LocalFolderCase localFolderCases[] = {
    { "file://{root}/WebUI", true, LocalFolderCase::Seen::RuleOnly },
    { "file://{root}/WebUI/inside.js", true, LocalFolderCase::Seen::InPage },
    { "file://{root}/WebUI/inside.js?v=2#top", true, LocalFolderCase::Seen::InPage },
    { "file://{root}/WebUI//sub/./../%69nside.js", true, LocalFolderCase::Seen::InPage },
    { "file://LOCALHOST{root}/WebUI/inside.js", true, LocalFolderCase::Seen::InPage },
    { "file:{root}/WebUI/inside.js", true, LocalFolderCase::Seen::InPage },
    { "file://{root}/outside.js", false, LocalFolderCase::Seen::InPage },
    { "file://{root}/WebUI-other/sibling.js", false, LocalFolderCase::Seen::InPage },
    { "file://{root}/WebUI/%2e%2e/outside.js", false, LocalFolderCase::Seen::InPage },
    { "file://{root}/WebUI/sub%2F..%2Finside.js", false, LocalFolderCase::Seen::InPage },
    { "file://fileserver{root}/WebUI/inside.js", false, LocalFolderCase::Seen::InPage },
    { "file://user@{root}/WebUI/inside.js", false, LocalFolderCase::Seen::RuleOnly },
    { "file://:21{root}/WebUI/inside.js", false, LocalFolderCase::Seen::RuleOnly },
    { "file:.{root}/WebUI/inside.js", false, LocalFolderCase::Seen::RuleOnly },
    { "file://{root}/WebUI/%00.js", false, LocalFolderCase::Seen::RuleOnly },
    { "https://example.test{root}/WebUI/inside.js", false, LocalFolderCase::Seen::RuleOnly },
};

inline std::string withRoot(std::string_view url, std::string_view root)
{
    std::string text(url);
    if (auto at = text.find("{root}"); at != std::string::npos)
        text.replace(at, 6, root);
    return text;
}

} // namespace quorin::test
