// The page's alert, confirm and prompt answered through native dialogs.

#include "e2e/LauncherPage.h"

#include <gtest/gtest.h>

namespace quorin::test {
namespace {

GtkDialog* openMessageDialog()
{
    GListModel* toplevels = gtk_window_get_toplevels();
    for (guint index = 0; index < g_list_model_get_n_items(toplevels); ++index) {
        auto window = glib::adoptGRef(GTK_WINDOW(g_list_model_get_item(toplevels, index)));
        if (GTK_IS_MESSAGE_DIALOG(window.get()) && gtk_widget_get_visible(GTK_WIDGET(window.get())))
            return GTK_DIALOG(window.get());
    }
    return nullptr;
}

// The page expression that opens the dialog, the titles of OK and Cancel, the button chosen, the text typed
// into a prompt, the JSON the page receives and the user's language (nullptr: none typed, the run's language).
struct DialogCase { const char *name, *call, *buttons; int response; const char *typed, *answer, *language; };

class PageDialogs : public ::testing::TestWithParam<DialogCase> { };

TEST_P(PageDialogs, AnswerThePageWithTheChosenButton)
{
    const auto& dialogCase = GetParam();
    std::string savedLanguage = g_getenv("LANGUAGE") ? g_getenv("LANGUAGE") : "";
    if (dialogCase.language)
        g_setenv("LANGUAGE", dialogCase.language, TRUE);
    LauncherPage page({ .indexHTML = "<!doctype html><p>dialogs</p>" });
    g_setenv("LANGUAGE", savedLanguage.c_str(), TRUE);
    ASSERT_TRUE(page.load());
    page.value(std::string("window.done = false; setTimeout(() => { window.answer = ") + dialogCase.call + "; window.done = true; }); true");

    GtkDialog* dialog = nullptr;
    ASSERT_TRUE(runUntil([&] { return (dialog = openMessageDialog()) != nullptr; }));
    auto title = [&](int response) { GtkWidget* button = gtk_dialog_get_widget_for_response(dialog, response); return std::string(button ? gtk_button_get_label(GTK_BUTTON(button)) : ""); };
    EXPECT_EQ(title(GTK_RESPONSE_ACCEPT) + "|" + title(GTK_RESPONSE_CANCEL), dialogCase.buttons);
    if (dialogCase.typed) {
        GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(dialog));
        ASSERT_TRUE(focus && GTK_IS_TEXT(focus)) << "the prompt's text field has the focus";
        gtk_editable_set_text(GTK_EDITABLE(focus), dialogCase.typed);
    }
    gtk_dialog_response(dialog, dialogCase.response);

    ASSERT_TRUE(runUntil([&] { return page.value("window.done") == "true"; }));
    EXPECT_EQ(page.value("window.answer === undefined ? 'undefined' : window.answer"), dialogCase.answer);
}

INSTANTIATE_TEST_SUITE_P(Native, PageDialogs,
    ::testing::Values(DialogCase { "Alert", "alert('Hello')", "OK|", GTK_RESPONSE_ACCEPT, nullptr, "\"undefined\"", nullptr },
        DialogCase { "ConfirmCancelledInTurkish", "confirm('Emin misin?')", "Tamam|\u0130ptal", GTK_RESPONSE_CANCEL, nullptr, "false", "tr_TR" },
        DialogCase { "PromptAccepted", "prompt('Name?', 'default')", "OK|Cancel", GTK_RESPONSE_ACCEPT, "Ay\u015fe", "\"Ay\u015fe\"", nullptr },
        DialogCase { "PromptKeepsDefault", "prompt('Name?', 'default')", "OK|Cancel", GTK_RESPONSE_ACCEPT, nullptr, "\"default\"", nullptr },
        DialogCase { "PromptCancelled", "prompt('Name?', 'default')", "OK|Cancel", GTK_RESPONSE_CANCEL, nullptr, "null", nullptr }),
    [](const ::testing::TestParamInfo<DialogCase>& param) { return std::string(param.param.name); });

} // namespace
} // namespace quorin::test
