#include "Commands.h"

#include "core/LauncherConfiguration.h"
#include "core/ReadableFile.h"

namespace quorin::release {

ToolOutcome validateConfig(const std::string& file)
{
    auto contents = ReadableFile::readContents(file);
    if (contents.isError())
        return ToolOutcome::fileSystemFailure(contents.error());
    auto configuration = LauncherConfiguration::decode(contents.value());
    if (configuration.isError())
        return ToolOutcome::refusal(configuration.error().description());
    return ToolOutcome::success();
}

ToolOutcome validateWebUI(const std::string& folder)
{
    auto bundle = WebUIBundleValidator::validate(folder);
    if (bundle.isError())
        return ToolOutcome::of(bundle.error());
    return ToolOutcome::success();
}

} // namespace quorin::release
