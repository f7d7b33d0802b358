#pragma once

// What one command of the release tool ends with, and how scripts see it: a line on
// standard output and an exit status.

#include "core/FileSystemError.h"
#include "webui/WebUIBundleValidator.h"

#include <string>
#include <variant>

namespace quorin::release {

struct ToolOutcome {
    enum class Kind { Success, Refusal, FileSystemFailure };

    Kind kind;
    std::string line; // "ok", "caseName(payload)" / "caseName", or "io: <message>"

    static ToolOutcome success() { return { Kind::Success, "ok" }; }
    static ToolOutcome refusal(std::string description) { return { Kind::Refusal, std::move(description) }; }
    static ToolOutcome fileSystemFailure(const FileSystemError& error) { return { Kind::FileSystemFailure, "io: " + error.message() }; }

    static ToolOutcome of(const WebUIBundleLoadError& error)
    {
        if (const auto* refused = std::get_if<WebUIBundleValidationError>(&error))
            return refusal(refused->description());
        return fileSystemFailure(std::get<FileSystemError>(error));
    }

    int exitStatus() const
    {
        switch (kind) {
        case Kind::Success:
            return 0;
        case Kind::Refusal:
            return 1;
        case Kind::FileSystemFailure:
            return 2;
        }
        return 2;
    }
};

} // namespace quorin::release
