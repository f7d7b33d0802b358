// Window, zoom and audio commands acting on a real window and page.

#include "e2e/ControllerFixture.h"
#include "shell/WindowCommandService.h"
#include "shell/WindowGameLifecycle.h"

#include <gtest/gtest.h>

namespace quorin::test {
namespace {

constexpr char mediaPage[] = R"(<!doctype html><body><audio id=a></audio><video id=v></video></body>)";

TEST(WindowCommandService, ZoomStepsAreClampedAndReachThePage)
{
    ControllerFixture fixture({ .indexHTML = mediaPage });
    ASSERT_TRUE(fixture.loadAndWait());
    WindowCommandService commands;
    EXPECT_EQ(commands.zoomFactor(), 1.0); // nothing attached yet
    commands.attach(fixture.webView());

    std::vector<double> zooms;
    for (int step = 0; step < 11; ++step)
        zooms.push_back(commands.zoomIn());
    EXPECT_EQ(zooms, (std::vector<double> { 1.1, 1.2, 1.3, 1.4, 1.5, 1.6, 1.7, 1.8, 1.9, 2.0, 2.0 }));
    EXPECT_DOUBLE_EQ(webkit_web_view_get_zoom_level(fixture.webView()), 2.0);
    EXPECT_TRUE(runUntil([&] {
        return fixture.page().value("document.documentElement.style.getPropertyValue('--linux-page-zoom')") == "\"2\"";
    }));

    webkit_web_view_set_zoom_level(fixture.webView(), 0.55);
    EXPECT_EQ(commands.zoomFactor(), 0.6);
    EXPECT_EQ(commands.zoomOut(), 0.5);
    EXPECT_EQ(commands.zoomOut(), 0.5);
    EXPECT_EQ(commands.resetZoom(), 1.0);
    EXPECT_TRUE(runUntil([&] {
        return fixture.page().value("document.documentElement.style.getPropertyValue('--linux-page-zoom')") == "\"1\"";
    }));
}

TEST(WindowCommandService, MutesTheMediaElementsOfThePage)
{
    ControllerFixture fixture({ .indexHTML = mediaPage });
    ASSERT_TRUE(fixture.loadAndWait());
    WindowCommandService commands;
    EXPECT_FALSE(commands.setAudioMuted(true));
    EXPECT_FALSE(commands.isAudioMuted());

    commands.attach(fixture.webView());
    EXPECT_TRUE(commands.setAudioMuted(true));
    EXPECT_TRUE(commands.isAudioMuted());
    EXPECT_TRUE(runUntil([&] { return fixture.page().value("[a.muted, v.muted].join()") == "\"true,true\""; }));
    EXPECT_TRUE(commands.setAudioMuted(false));
    EXPECT_TRUE(runUntil([&] { return fixture.page().value("[a.muted, v.muted].join()") == "\"false,false\""; }));
}

TEST(WindowCommandService, AnswersFalseOnceTheWebViewIsGone)
{
    WindowCommandService commands;
    {
        ControllerFixture fixture({ .indexHTML = mediaPage });
        commands.attach(fixture.webView());
        EXPECT_TRUE(commands.setAudioMuted(true));
    }
    runFor(std::chrono::milliseconds(50));
    EXPECT_FALSE(commands.minimizeWindow());
    EXPECT_FALSE(commands.toggleMaximizeWindow());
    EXPECT_FALSE(commands.closeWindow());
    EXPECT_FALSE(commands.isWindowMaximized());
    EXPECT_FALSE(commands.setAudioMuted(false));
    EXPECT_EQ(commands.zoomFactor(), 1.0);
    EXPECT_EQ(commands.zoomIn(), 1.1); // still normalised, nothing to apply it to
}

TEST(WindowCommandService, RevealsOnlyExistingFiles)
{
    WindowCommandService commands;
    FixtureFolder folder;
    auto file = folder.write("saved.txt", "x");
    EXPECT_TRUE(commands.reveal(*Url::parse(file)));
    EXPECT_FALSE(commands.reveal(Url::fileURL(folder.path() + "/missing.txt")));
    EXPECT_FALSE(commands.reveal(*Url::parse("https://example.com/saved.txt")));
}

TEST(WindowCommandService, CopiesTextToTheClipboard)
{
    WindowCommandService commands;
    ASSERT_TRUE(commands.copyText("Quorin \u00e7\u00f6z"));
    GdkClipboard* clipboard = gdk_display_get_clipboard(gdk_display_get_default());
    std::optional<std::string> read;
    gdk_clipboard_read_text_async(clipboard, nullptr, [](GObject* source, GAsyncResult* result, gpointer data) {
        auto text = glib::takeString(gdk_clipboard_read_text_finish(GDK_CLIPBOARD(source), result, nullptr));
        *static_cast<std::optional<std::string>*>(data) = text;
    }, &read);
    ASSERT_TRUE(runUntil([&] { return read.has_value(); }));
    EXPECT_EQ(*read, "Quorin \u00e7\u00f6z");
}

TEST(WindowGameLifecycle, ClosingTheWebViewsWindowEndsTheGameButOtherWindowsDoNot)
{
    const char* page = R"(<!doctype html><script>
        window.cleared = 0;
        window.PlayGame = { clearSession() { window.cleared++; } };</script>)";
    ControllerFixture fixture({ .indexHTML = page });
    ASSERT_TRUE(fixture.loadAndWait());
    int ended = 0;
    WindowGameLifecycle lifecycle(fixture.webView(), [&ended] { ended++; });

    GtkWindow* other = GTK_WINDOW(gtk_window_new());
    gtk_window_present(other);
    gtk_window_close(other);
    runFor(std::chrono::milliseconds(100));
    EXPECT_EQ(ended, 0);

    // Keep the window: only its close request matters here.
    g_signal_connect(fixture.window(), "close-request", G_CALLBACK(+[](GtkWindow*) { return TRUE; }), nullptr);
    WindowCommandService commands;
    commands.attach(fixture.webView());
    EXPECT_TRUE(commands.closeWindow());
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(runUntil([&] { return fixture.page().value("window.cleared") == "1"; }));
}

} // namespace
} // namespace quorin::test
