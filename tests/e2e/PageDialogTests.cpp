// The page's alert, confirm and prompt answered through native dialogs.

#include "e2e/ControllerFixture.h"

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

std::string buttonTitle(GtkDialog* dialog, int response)
{
    GtkWidget* button = gtk_dialog_get_widget_for_response(dialog, response);
    return button ? gtk_button_get_label(GTK_BUTTON(button)) : "";
}

struct DialogCase {
    const char* name;
    const char* call;      // page expression that opens the dialog
    int response;          // the button chosen
    const char* typed;     // text typed into a prompt, or nullptr
    const char* answer;    // JSON of what the page receives
    bool hasCancel;
};

class PageDialogs : public testing::TestWithParam<DialogCase> { };

TEST_P(PageDialogs, AnswerThePageWithTheChosenButton)
{
    const auto& dialogCase = GetParam();
    ControllerFixture fixture({ .indexHTML = "<!doctype html><p>dialogs</p>" });
    ASSERT_TRUE(fixture.loadAndWait());
    std::string script = "window.done = false; setTimeout(() => { window.answer = ";
    script += dialogCase.call;
    script += "; window.done = true; }); true";
    ASSERT_TRUE(fixture.page().evaluate(script).hasValue());

    GtkDialog* dialog = nullptr;
    ASSERT_TRUE(runUntil([&] { return (dialog = openMessageDialog()) != nullptr; }));
    EXPECT_EQ(buttonTitle(dialog, GTK_RESPONSE_ACCEPT), "OK");
    EXPECT_EQ(buttonTitle(dialog, GTK_RESPONSE_CANCEL), dialogCase.hasCancel ? "Cancel" : "");
    if (dialogCase.typed) {
        GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(dialog));
        ASSERT_TRUE(focus && GTK_IS_TEXT(focus)) << "the prompt's text field has the focus";
        gtk_editable_set_text(GTK_EDITABLE(focus), dialogCase.typed);
    }
    gtk_dialog_response(dialog, dialogCase.response);

    ASSERT_TRUE(runUntil([&] { return fixture.page().value("window.done") == "true"; }));
    EXPECT_EQ(fixture.page().value("window.answer === undefined ? 'undefined' : window.answer"), dialogCase.answer);
}

INSTANTIATE_TEST_SUITE_P(Native, PageDialogs,
    testing::Values(
        DialogCase { "Alert", "alert('Hello')", GTK_RESPONSE_ACCEPT, nullptr, "\"undefined\"", false },
        DialogCase { "ConfirmAccepted", "confirm('Sure?')", GTK_RESPONSE_ACCEPT, nullptr, "true", true },
        DialogCase { "ConfirmCancelled", "confirm('Sure?')", GTK_RESPONSE_CANCEL, nullptr, "false", true },
        DialogCase { "PromptAccepted", "prompt('Name?', 'default')", GTK_RESPONSE_ACCEPT, "Ayşe", "\"Ayşe\"", true },
        DialogCase { "PromptKeepsDefault", "prompt('Name?', 'default')", GTK_RESPONSE_ACCEPT, nullptr, "\"default\"", true },
        DialogCase { "PromptCancelled", "prompt('Name?', 'default')", GTK_RESPONSE_CANCEL, nullptr, "null", true }),
    [](const testing::TestParamInfo<DialogCase>& param) { return std::string(param.param.name); });

TEST(PageDialogs, UseTurkishTitlesForATurkishUser)
{
    const char* previous = g_getenv("LANGUAGE");
    std::string saved = previous ? previous : "";
    g_setenv("LANGUAGE", "tr_TR", TRUE);
    ControllerFixture fixture({ .indexHTML = "<!doctype html><p>dialogs</p>" });
    if (previous)
        g_setenv("LANGUAGE", saved.c_str(), TRUE);
    else
        g_unsetenv("LANGUAGE");
    ASSERT_TRUE(fixture.loadAndWait());

    ASSERT_TRUE(fixture.page().evaluate("setTimeout(() => { window.answer = confirm('Emin misin?'); }); true").hasValue());
    GtkDialog* dialog = nullptr;
    ASSERT_TRUE(runUntil([&] { return (dialog = openMessageDialog()) != nullptr; }));
    EXPECT_EQ(buttonTitle(dialog, GTK_RESPONSE_ACCEPT), "Tamam");
    EXPECT_EQ(buttonTitle(dialog, GTK_RESPONSE_CANCEL), "\u0130ptal");
    gtk_dialog_response(dialog, GTK_RESPONSE_CANCEL);
    EXPECT_TRUE(runUntil([&] { return fixture.page().value("window.answer") == "false"; }));
}

} // namespace
} // namespace quorin::test
