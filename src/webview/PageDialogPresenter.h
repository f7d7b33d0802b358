#pragma once

// Answers the page's alert, confirm and prompt with native modal dialogs whose button titles
// follow the user's first preferred language.

#include <string>
#include <vector>
#include <webkit/webkit.h>

namespace quorin {

class PageDialogPresenter {
public:
    explicit PageDialogPresenter(std::vector<std::string> preferredLanguages);

    // script-dialog; returns TRUE when the dialog is handled here.
    gboolean present(WebKitWebView* webView, WebKitScriptDialog* dialog);

private:
    std::vector<std::string> m_preferredLanguages;
};

} // namespace quorin
