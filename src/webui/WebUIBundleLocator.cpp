#include "WebUIBundleLocator.h"

#include "core/FilePath.h"

namespace quorin {

Result<WebUIBundle, WebUIBundleLoadError> WebUIBundleLocator::packaged(const ApplicationBundle& application)
{
    auto resources = application.resourcesDirectory();
    if (!resources)
        return fail(WebUIBundleLoadError(WebUIBundleValidationError::invalidRoot()));
    return WebUIBundleValidator::validate(filePath::joined(*resources, folderName));
}

Result<WebUIBundle, WebUIBundleLoadError> WebUIBundleLocator::development(const std::string& root)
{
    return WebUIBundleValidator::validate(root);
}

} // namespace quorin
