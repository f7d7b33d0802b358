// quorin-release: checks and prepares the data that ships with the launcher.
//
// Output contract (scripts rely on it): success prints "ok" and exits 0; a refusal prints one
// line "caseName(payload)" or "caseName" and exits 1; a file-system error prints
// "io: <message>" and exits 2; bad usage prints the usage to standard error and exits 64.
// Control characters and backslashes in that line are escaped ("\n", "\x1b", "\\").

#include "Commands.h"

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace {

using quorin::release::ToolOutcome;

constexpr int usageExitStatus = 64;

struct Command {
    std::string_view name;
    std::string_view argument;
    std::function<ToolOutcome(const std::string&)> run;
};

const Command commands[] = {
    { "validate-config", "FILE", quorin::release::validateConfig },
    { "validate-web-ui", "DIR", quorin::release::validateWebUI },
    { "manifest-web-ui", "DIR", quorin::release::writeWebUIManifest },
};

int printUsage()
{
    std::fputs("usage: quorin-release", stderr);
    const char* separator = " ";
    for (const auto& command : commands) {
        std::fprintf(stderr, "%s%.*s %.*s", separator, static_cast<int>(command.name.size()), command.name.data(),
            static_cast<int>(command.argument.size()), command.argument.data());
        separator = " | ";
    }
    std::fputs("\n", stderr);
    return usageExitStatus;
}

} // namespace

// The outcome is one line whatever a path holds: control bytes and backslashes are escaped.
static std::string oneLine(std::string_view text)
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

int main(int argc, char** argv)
{
    if (argc != 3)
        return printUsage();
    std::string_view name = argv[1];
    for (const auto& command : commands) {
        if (command.name != name)
            continue;
        auto outcome = command.run(argv[2]);
        std::printf("%s\n", outcome.hasValue() ? "ok" : oneLine(outcome.error().line).c_str());
        int status = outcome.hasValue() ? 0 : outcome.error().exitStatus();
        return std::fflush(stdout) == 0 ? status : 2;
    }
    return printUsage();
}
