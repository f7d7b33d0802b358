#pragma once

// How a command of the release tool fails, and how scripts see it: one line on standard
// output and an exit status. Success is "ok" with status 0.

#include "core/FileSystemError.h"
#include "core/Result.h"
#include "updater/LauncherUpdateError.h"
#include "webui/WebUIBundleValidator.h"

#include <string>
#include <variant>

namespace quorin::release {

struct ToolError {
    enum class Case {
        Refusal,           // the data is not what the launcher accepts; exit status 1
        FileSystemFailure, // the data could not be read or written; exit status 2
    };
    Case errorCase;
    std::string line; // "caseName(payload)" / "caseName", or "io: <message>"

    static ToolError refusal(std::string description) { return { Case::Refusal, std::move(description) }; }
    static ToolError fileSystemFailure(const FileSystemError& error) { return { Case::FileSystemFailure, "io: " + error.message() }; }
    static ToolError of(const WebUIBundleLoadError& error)
    {
        if (const auto* refused = std::get_if<WebUIBundleValidationError>(&error))
            return refusal(refused->description());
        return fileSystemFailure(std::get<FileSystemError>(error));
    }

    static ToolError of(const UpdateFailure& error)
    {
        if (const auto* refused = std::get_if<LauncherUpdateError>(&error))
            return refusal(refused->code());
        return fileSystemFailure(std::get<FileSystemError>(error));
    }

    int exitStatus() const { return errorCase == Case::Refusal ? 1 : 2; }

    bool operator==(const ToolError&) const = default;
};

using ToolOutcome = Status<ToolError>;
// What a command prints on success: "ok", or the text it makes (the feed).
using ToolOutput = Result<std::string, ToolError>;

} // namespace quorin::release
