// Entry point of the end-to-end tests: GTK needs a display, except when tests are only listed
// (test discovery runs at build time, without one).

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdio>

// Sanitizer builds: fontconfig and JavaScriptCore keep process-wide caches that are never freed.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so.1\nleak:libjavascriptcoregtk-6.0.so.1\n";
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // No accessibility bus: starting one per run only slows the tests down.
    g_setenv("GTK_A11Y", "none", FALSE);
#if defined(__SANITIZE_ADDRESS__)
    // Mesa's EGL driver keeps an allocation past its unloading, where no suppression can name
    // it; the sanitizer build draws the test windows without GL.
    g_setenv("GDK_DEBUG", "gl-disable", FALSE);
#endif
    if (!GTEST_FLAG_GET(list_tests) && !gtk_init_check()) {
        std::fputs("end-to-end tests need a display: run them under scripts/session.sh\n", stderr);
        return 1;
    }
    return RUN_ALL_TESTS();
}
