#include "Commands.h"

#include "core/LauncherConfiguration.h"

namespace quorin::release {

ToolOutcome validateConfig(const std::string& file)
{
    auto contents = LauncherConfiguration::readFile(file);
    if (contents.isError())
        return fail(ToolError::fileSystemFailure(contents.error()));
    auto configuration = LauncherConfiguration::decode(contents.value());
    if (configuration.isError())
        return fail(ToolError::refusal(configuration.error().description()));
    return Ok {};
}

ToolOutcome validateWebUI(const std::string& folder)
{
    auto bundle = WebUIBundleValidator::validate(folder);
    if (bundle.isError())
        return fail(ToolError::of(bundle.error()));
    return Ok {};
}

} // namespace quorin::release
