#pragma once

#include "ToolError.h"

#include <string>

namespace quorin::release {

// validate-config FILE: decodes a launcher configuration file as the launcher would.
ToolOutcome validateConfig(const std::string& file);

// validate-web-ui DIR: validates a web UI folder as the launcher would.
ToolOutcome validateWebUI(const std::string& folder);

// manifest-web-ui DIR: writes DIR/upstream.json for every regular file under renderer/ and
// assets/, refusing folders the launcher would refuse before reading a manifest. The file is
// replaced atomically; the finished folder is validated before "ok" is reported.
ToolOutcome writeWebUIManifest(const std::string& folder);

} // namespace quorin::release
