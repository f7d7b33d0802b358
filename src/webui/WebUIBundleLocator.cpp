#include "WebUIBundleLocator.h"

namespace quorin {

Result<WebUIBundle, WebUIBundleLoadError> WebUIBundleLocator::packaged(const ApplicationBundle& application)
{
    auto resources = application.resourcesDirectory();
    if (!resources)
        return fail(WebUIBundleLoadError(WebUIBundleValidationError::invalidRoot()));
    return WebUIBundleValidator::validate(*resources + "/" + std::string(folderName));
}

Result<WebUIBundle, WebUIBundleLoadError> WebUIBundleLocator::development(const std::string& root)
{
    return WebUIBundleValidator::validate(root);
}

} // namespace quorin
