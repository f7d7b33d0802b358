// Window, zoom and audio commands acting on a real window and page.

#include "core/glib/GUniquePtr.h"
#include "e2e/LauncherPage.h"
#include "shell/WindowCommandService.h"
#include "shell/WindowGameLifecycle.h"
#include "support/PageScriptRunner.h"

#include <gtest/gtest.h>

namespace quorin::test {
namespace {

TEST(WindowCommandService, ZoomsAndMutesThePageAndAnswersFalseWithoutAWebView)
{
    WindowCommandService commands;
    EXPECT_FALSE(commands.setAudioMuted(true)); // nothing attached yet
    {
        LauncherPage page({ .indexHTML = R"(<!doctype html><body><audio id=a></audio><video id=v></video></body>)" });
        ASSERT_TRUE(page.load());
        commands.attach(page.webView());
        EXPECT_EQ(commands.zoomIn(), 1.1);
        EXPECT_TRUE(runUntil([&] { return page.value("document.documentElement.style.getPropertyValue('--linux-page-zoom')") == "\"1.1\""; }));
        // Steps start from the view's own zoom, as the page or the user left it.
        webkit_web_view_set_zoom_level(page.webView(), 0.75);
        EXPECT_EQ(commands.zoomOut(), 0.7);
        EXPECT_EQ(commands.resetZoom(), 1.0);
        EXPECT_TRUE(commands.setAudioMuted(true));
        EXPECT_TRUE(commands.isAudioMuted());
        EXPECT_TRUE(runUntil([&] { return page.value("[a.muted, v.muted].join()") == "\"true,true\""; }));
        EXPECT_TRUE(commands.setAudioMuted(false));
        EXPECT_TRUE(runUntil([&] { return page.value("[a.muted, v.muted].join()") == "\"false,false\""; }));
    }
    PageScriptRunner::runFor(std::chrono::milliseconds(50));
    EXPECT_EQ((std::vector { commands.minimizeWindow(), commands.toggleMaximizeWindow(), commands.closeWindow(), commands.isWindowMaximized(), commands.setAudioMuted(false) }), std::vector<bool>(5, false));
    EXPECT_EQ(commands.zoomFactor(), 1.0);
}

TEST(WindowCommandService, RevealsOnlyExistingFilesAndCopiesText)
{
    WindowCommandService commands;
    testing::TemporaryDirectory folder;
    EXPECT_TRUE(commands.reveal(Url::fileURL(folder.write("saved.txt", "x"))));
    EXPECT_FALSE(commands.reveal(Url::fileURL(folder.pathOf("missing.txt"))));
    EXPECT_FALSE(commands.reveal(*Url::parse("https://example.com/saved.txt")));

    ASSERT_TRUE(commands.copyText("Quorin \u00e7\u00f6z"));
    std::optional<std::string> read;
    gdk_clipboard_read_text_async(gdk_display_get_clipboard(gdk_display_get_default()), nullptr, [](GObject* source, GAsyncResult* result, gpointer data) {
        *static_cast<std::optional<std::string>*>(data) = glib::takeString(gdk_clipboard_read_text_finish(GDK_CLIPBOARD(source), result, nullptr));
    }, &read);
    ASSERT_TRUE(runUntil([&] { return read.has_value(); }));
    EXPECT_EQ(*read, "Quorin \u00e7\u00f6z");
}

TEST(WindowGameLifecycle, ClosingTheWebViewsWindowEndsTheGameButOtherWindowsDoNot)
{
    LauncherPage page({ .indexHTML = R"(<!doctype html><script>
        window.cleared = 0;
        window.PlayGame = { clearSession() { window.cleared++; } };</script>)" });
    ASSERT_TRUE(page.load());
    int ended = 0;
    WindowGameLifecycle lifecycle(page.webView(), [&ended] { ended++; });

    GtkWindow* other = GTK_WINDOW(gtk_window_new());
    gtk_window_present(other);
    gtk_window_close(other);
    PageScriptRunner::runFor(std::chrono::milliseconds(100));
    EXPECT_EQ(ended, 0);

    g_signal_connect(page.window.get(), "close-request", G_CALLBACK(+[](GtkWindow*) { return TRUE; }), nullptr);
    WindowCommandService commands;
    commands.attach(page.webView());
    EXPECT_TRUE(commands.closeWindow());
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(runUntil([&] { return page.value("window.cleared") == "1"; }));
}

} // namespace
} // namespace quorin::test
