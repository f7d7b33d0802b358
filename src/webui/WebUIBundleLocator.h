#pragma once

#include "WebUIBundleValidator.h"

#include "core/ApplicationBundle.h"

#include <string>
#include <string_view>

namespace quorin {

// Where the launcher finds its web UI folder, validated before anything is shown from it.
class WebUIBundleLocator {
public:
    static constexpr std::string_view folderName = "WebUI";

    // "<resources>/WebUI" of the application; an application without a resources folder
    // gives invalidRoot.
    static Result<WebUIBundle, WebUIBundleLoadError> packaged(const ApplicationBundle& application);
    // A web UI build outside the application, validated the same way.
    static Result<WebUIBundle, WebUIBundleLoadError> development(const std::string& root);
};

} // namespace quorin
