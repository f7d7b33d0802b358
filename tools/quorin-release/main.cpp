// quorin-release: checks and prepares the data that ships with the launcher, and makes
// releases: keys, bundle seals, archives and feeds.
//
// Output contract (scripts rely on it): success prints "ok" and exits 0 (feed prints the feed
// text instead); a refusal prints one line "caseName(payload)", "caseName" or an update code
// such as "UPDATE_FEED_INVALID" and exits 1; a file-system error prints "io: <message>" and
// exits 2; bad usage prints the usage to standard error and exits 64. Control characters and
// backslashes in that line are escaped ("\n", "\x1b", "\\").

#include "Commands.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace quorin::release;

constexpr int usageExitStatus = 64;

// Positional arguments, then "--name value..." groups.
struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::vector<std::string>, std::less<>> options;

    // The one value of an option given exactly once with exactly one value.
    std::optional<std::string> single(std::string_view name) const
    {
        auto values = options.find(name);
        return values != options.end() && values->second.size() == 1 ? std::optional(values->second[0]) : std::nullopt;
    }
};

std::optional<Arguments> parseArguments(int argc, char** argv)
{
    Arguments arguments;
    std::vector<std::string>* values = &arguments.positional;
    for (int index = 2; index < argc; ++index) {
        std::string argument = argv[index];
        if (argument.starts_with("--")) {
            auto name = argument.substr(2);
            if (arguments.options.contains(name))
                return std::nullopt;
            values = &arguments.options[name];
        } else
            values->push_back(std::move(argument));
    }
    return arguments;
}

ToolOutput printedOk(ToolOutcome outcome)
{
    if (outcome.isError())
        return quorin::fail(outcome.releaseError());
    return std::string("ok");
}

struct Command {
    std::string_view name;
    std::string_view usage;
    std::size_t positionalCount;
    std::vector<std::string_view> options; // each required, with one value
    std::function<ToolOutput(const Arguments&)> run;
};

std::string at(const Arguments& arguments, std::size_t index) { return arguments.positional[index]; }
std::vector<std::string> all(const Arguments& arguments, std::string_view name)
{
    auto values = arguments.options.find(name);
    return values == arguments.options.end() ? std::vector<std::string> {} : values->second;
}

const Command commands[] = {
    { "validate-config", "FILE", 1, {}, [](const Arguments& a) { return printedOk(validateConfig(at(a, 0))); } },
    { "validate-web-ui", "DIR", 1, {}, [](const Arguments& a) { return printedOk(validateWebUI(at(a, 0))); } },
    { "manifest-web-ui", "DIR", 1, {}, [](const Arguments& a) { return printedOk(writeWebUIManifest(at(a, 0))); } },
    { "keygen", "KEY", 1, {}, [](const Arguments& a) { return printedOk(generateKey(at(a, 0))); } },
    { "sign-bundle", "BUNDLE --key KEY", 1, { "key" }, [](const Arguments& a) { return printedOk(signBundle(at(a, 0), *a.single("key"))); } },
    { "notarize-bundle", "BUNDLE --key KEY", 1, { "key" }, [](const Arguments& a) { return printedOk(notarizeBundle(at(a, 0), *a.single("key"))); } },
    { "verify-bundle", "BUNDLE VERSION --trust KEY.pub... [--notary KEY.pub...]", 2, {},
        [](const Arguments& a) { return printedOk(verifyBundle(at(a, 0), at(a, 1), all(a, "trust"), all(a, "notary"))); } },
    { "pack", "BUNDLE OUT.zip", 2, {}, [](const Arguments& a) { return printedOk(packBundle(at(a, 0), at(a, 1))); } },
    { "validate-archive", "ZIP", 1, {}, [](const Arguments& a) { return printedOk(validateArchive(at(a, 0))); } },
    { "feed", "--version V --archive ZIP --url-base URL", 0, { "version", "archive", "url-base" },
        [](const Arguments& a) { return makeFeed(*a.single("version"), *a.single("archive"), *a.single("url-base")); } },
    { "validate-feed", "FILE URL", 2, {}, [](const Arguments& a) { return printedOk(validateFeed(at(a, 0), at(a, 1))); } },
};

// Whether the arguments have the command's shape; verify-bundle alone takes key lists.
bool fits(const Command& command, const Arguments& arguments)
{
    if (arguments.positional.size() != command.positionalCount)
        return false;
    if (command.name == "verify-bundle") {
        auto trust = arguments.options.find("trust");
        bool onlyKeyLists = std::ranges::all_of(arguments.options, [](const auto& option) { return option.first == "trust" || option.first == "notary"; });
        return onlyKeyLists && trust != arguments.options.end() && !trust->second.empty();
    }
    return arguments.options.size() == command.options.size()
        && std::ranges::all_of(command.options, [&](auto name) { return arguments.single(name).has_value(); });
}

int printUsage()
{
    std::fputs("usage: quorin-release", stderr);
    const char* separator = " ";
    for (const auto& command : commands) {
        std::fprintf(stderr, "%s%.*s %.*s", separator, static_cast<int>(command.name.size()), command.name.data(),
            static_cast<int>(command.usage.size()), command.usage.data());
        separator = " | ";
    }
    std::fputs("\n", stderr);
    return usageExitStatus;
}

// The outcome is one line whatever a path holds: control bytes and backslashes are escaped.
std::string oneLine(std::string_view text)
{
    std::string line;
    for (unsigned char c : text) {
        if (c == '\\')
            line += "\\\\";
        else if (c == '\n')
            line += "\\n";
        else if (c < 0x20 || c == 0x7f) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            line += escaped;
        } else
            line += static_cast<char>(c);
    }
    return line;
}

} // namespace

int main(int argc, char** argv)
{
    auto arguments = argc >= 2 ? parseArguments(argc, argv) : std::nullopt;
    for (const auto& command : commands) {
        if (!arguments || command.name != argv[1] || !fits(command, *arguments))
            continue;
        auto output = command.run(*arguments);
        if (output.hasValue())
            std::fputs(output->ends_with('\n') ? output->c_str() : (*output + "\n").c_str(), stdout);
        else
            std::printf("%s\n", oneLine(output.error().line).c_str());
        int status = output.hasValue() ? 0 : output.error().exitStatus();
        return std::fflush(stdout) == 0 ? status : 2;
    }
    return printUsage();
}
