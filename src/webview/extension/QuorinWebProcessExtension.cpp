// Loaded into every web process. WebKitGTK's script-message handlers do not say which frame
// sent a message, so this extension gives each frame its own post function and tags every
// request with that frame's main-frame flag and document URI before it leaves the process.
// It writes no log: failures reach the page as rejected promises.

#include "bridge/BridgePageHandler.h"
#include "core/LocalFolder.h"
#include "core/Url.h"
#include "core/glib/GError.h"
#include "core/glib/GRef.h"
#include "webview/extension/PostMessageSource.h"

#include <webkit/webkit-web-process-extension.h>

#include <memory>
#include <optional>
#include <string>

namespace quorin {
namespace {

using glib::GRef;
using glib::GWeak;

// What the native send function of one frame needs; owned by that function, freed when the
// page's garbage collector drops it. Both objects may die first, hence weak references.
struct FrameBinding {
    FrameBinding(WebKitWebPage* webPage, WebKitFrame* webFrame)
        : page(webPage)
        , frame(webFrame)
    {
    }
    GWeak<WebKitWebPage> page;
    GWeak<WebKitFrame> frame;
};

// One request in flight. The settle function is held weakly: when the document goes away
// its reply has nobody to go to and is dropped.
struct PendingReply {
    GRef<JSCWeakValue> settle;
};

void deleteFrameBinding(gpointer binding)
{
    delete static_cast<FrameBinding*>(binding);
}

// A post function kept from a previous document of the frame must not speak for the
// document that now lives there.
bool isFramesCurrentContext(WebKitFrame* frame, JSCContext* context)
{
    auto current = GRef<JSCContext>::adopt(
        webkit_frame_get_js_context_for_script_world(frame, webkit_script_world_get_default()));
    return current.get() == context;
}

GRef<WebKitUserMessage> makeRequestMessage(const char* text, WebKitFrame* frame)
{
    const char* uri = webkit_frame_get_uri(frame);
    auto parameters = GRef<GVariant>::adoptFloating(g_variant_new("(sbs)", text, webkit_frame_is_main_frame(frame), uri ? uri : ""));
    std::string name(bridgeUserMessageName);
    // The message starts floating; own it so the send call cannot consume our only reference.
    return GRef<WebKitUserMessage>::adopt(
        WEBKIT_USER_MESSAGE(g_object_ref_sink(webkit_user_message_new(name.c_str(), parameters.get()))));
}

void settle(JSCValue* settleFunction, const char* replyText)
{
    auto ignoredResult = replyText
        ? GRef<JSCValue>::adopt(jsc_value_function_call(settleFunction, G_TYPE_BOOLEAN, TRUE, G_TYPE_STRING, replyText, G_TYPE_NONE))
        : GRef<JSCValue>::adopt(jsc_value_function_call(settleFunction, G_TYPE_BOOLEAN, FALSE, G_TYPE_NONE));
    jsc_context_clear_exception(jsc_value_get_context(settleFunction));
}

// The reply's parameters are one JSON text; anything else settles as a failure.
const char* replyTextOf(WebKitUserMessage* reply)
{
    if (!reply)
        return nullptr;
    GVariant* parameters = webkit_user_message_get_parameters(reply);
    if (!parameters || !g_variant_is_of_type(parameters, G_VARIANT_TYPE_STRING))
        return nullptr;
    return g_variant_get_string(parameters, nullptr);
}

void onReply(GObject* page, GAsyncResult* result, gpointer data)
{
    std::unique_ptr<PendingReply> pending(static_cast<PendingReply*>(data));
    // A reply that could not come settles as a failure.
    glib::GErrorOut error;
    auto reply = GRef<WebKitUserMessage>::adopt(
        webkit_web_page_send_message_to_view_finish(WEBKIT_WEB_PAGE(page), result, error.out()));

    auto settleFunction = GRef<JSCValue>::adopt(jsc_weak_value_get_value(pending->settle.get()));
    if (!settleFunction)
        return;
    settle(settleFunction.get(), replyTextOf(reply.get()));
}

// The native half of postMessage: throws (and so rejects the page's promise) when it cannot
// send on behalf of the frame's current document.
void sendRequest(const char* text, JSCValue* settleFunction, gpointer data)
{
    auto* binding = static_cast<FrameBinding*>(data);
    JSCContext* context = jsc_value_get_context(settleFunction);
    auto page = binding->page.get();
    auto frame = binding->frame.get();
    if (!page || !frame || !text || !jsc_value_is_function(settleFunction) || !isFramesCurrentContext(frame.get(), context)
        || !g_utf8_validate(text, -1, nullptr)) {
        jsc_context_throw(context, "BRIDGE_FAILED");
        return;
    }
    auto message = makeRequestMessage(text, frame.get());
    auto* pending = new PendingReply { GRef<JSCWeakValue>::adopt(jsc_weak_value_new(settleFunction)) };
    webkit_web_page_send_message_to_view(page.get(), message.get(), nullptr, onReply, pending);
}

// post-message.js runs in the frame's own context before any page script, so the intrinsics
// it captures are the real ones. The promise plumbing stays in JavaScript; the native `send`
// only forwards the text and a settle function, which the pending table keeps alive until
// the host answers.
GRef<JSCValue> makeHandler(JSCContext* context, WebKitWebPage* page, WebKitFrame* frame)
{
    auto send = GRef<JSCValue>::adopt(jsc_value_new_function(context, nullptr, G_CALLBACK(sendRequest),
        new FrameBinding(page, frame), deleteFrameBinding, G_TYPE_NONE, 2, G_TYPE_STRING, JSC_TYPE_VALUE));
    const auto& source = embedded::postMessageFactory;
    auto factory = GRef<JSCValue>::adopt(jsc_context_evaluate(context, source.data(), static_cast<gssize>(source.size())));
    if (!factory || !jsc_value_is_function(factory.get()))
        return nullptr;
    auto handler = GRef<JSCValue>::adopt(jsc_value_function_call(factory.get(), JSC_TYPE_VALUE, send.get(), G_TYPE_NONE));
    if (!handler || !jsc_value_is_object(handler.get()))
        return nullptr;
    return handler;
}

void onWindowObjectCleared(WebKitScriptWorld* world, WebKitWebPage* page, WebKitFrame* frame, gpointer)
{
    auto context = GRef<JSCContext>::adopt(webkit_frame_get_js_context_for_script_world(frame, world));
    auto global = GRef<JSCValue>::adopt(jsc_context_get_global_object(context.get()));
    std::string name(bridgePageHandlerGlobal);
    // Defining a non-configurable property twice would throw; the first handler stays.
    if (!jsc_value_object_has_property(global.get(), name.c_str())) {
        if (auto handler = makeHandler(context.get(), page, frame))
            jsc_value_object_define_property_data(global.get(), name.c_str(), static_cast<JSCValuePropertyFlags>(0), handler.get());
    }
    jsc_context_clear_exception(context.get());
}

// Pages may read files only inside the web UI folder: file loads run outside the web
// process's sandbox, so every request for a file elsewhere is cancelled here, by the same
// rule the UI process applies to navigations and bridge requests.
gboolean onSendRequest(WebKitWebPage*, WebKitURIRequest* request, WebKitURIResponse*, gpointer data)
{
    const auto& folder = *static_cast<const std::optional<LocalFolder>*>(data);
    const char* uri = webkit_uri_request_get_uri(request);
    if (!uri || g_ascii_strncasecmp(uri, "file:", 5) != 0)
        return FALSE;
    auto url = Url::parse(uri);
    return !url || !folder || !folder->contains(*url); // TRUE cancels the request
}

// What the UI process told every web process at its start.
struct ExtensionSettings {
    bool filtersFiles { false };
    std::optional<LocalFolder> allowedFolder;
    bool forwardsConsole { false };
};

void sendToView(WebKitWebPage* page, std::string_view name, GVariant* parameters)
{
    std::string messageName(name);
    auto message = GRef<WebKitUserMessage>::adopt(WEBKIT_USER_MESSAGE(g_object_ref_sink(webkit_user_message_new(messageName.c_str(), parameters))));
    webkit_web_page_send_message_to_view(page, message.get(), nullptr, nullptr, nullptr);
}

// Tells the UI process that this document runs with the extension: without it the page would
// have neither its bridge nor the file filter above.
void onDocumentLoaded(WebKitWebPage* page, gpointer)
{
    const char* uri = webkit_web_page_get_uri(page);
    sendToView(page, extensionHelloMessageName, g_variant_new("(s)", uri ? uri : ""));
}

void onConsoleMessage(WebKitWebPage* page, WebKitConsoleMessage* message, gpointer)
{
    const char* text = webkit_console_message_get_text(message);
    const char* source = webkit_console_message_get_source_id(message);
    sendToView(page, consoleMessageName, g_variant_new("(ssu)", text ? text : "", source ? source : "", webkit_console_message_get_line(message)));
}

void onPageCreated(WebKitWebProcessExtension*, WebKitWebPage* page, gpointer data)
{
    const auto& settings = *static_cast<const ExtensionSettings*>(data);
    if (settings.filtersFiles)
        g_signal_connect(page, "send-request", G_CALLBACK(onSendRequest), const_cast<std::optional<LocalFolder>*>(&settings.allowedFolder));
    g_signal_connect(page, "document-loaded", G_CALLBACK(onDocumentLoaded), nullptr);
    if (settings.forwardsConsole)
        g_signal_connect(page, "console-message-sent", G_CALLBACK(onConsoleMessage), nullptr);
}

} // namespace
} // namespace quorin

extern "C" G_MODULE_EXPORT void webkit_web_process_extension_initialize_with_user_data(WebKitWebProcessExtension* extension, const GVariant* userData)
{
    g_signal_connect(webkit_script_world_get_default(), "window-object-cleared",
        G_CALLBACK(quorin::onWindowObjectCleared), nullptr);

    // The user data is the one folder whose files pages may load, and whether the page's
    // console goes to the UI process.
    auto* settings = new quorin::ExtensionSettings; // lives as long as the web process
    auto* data = const_cast<GVariant*>(userData);
    if (data && g_variant_is_of_type(data, G_VARIANT_TYPE("(sb)"))) {
        const char* folder = nullptr;
        gboolean forwardsConsole = FALSE;
        g_variant_get(data, "(&sb)", &folder, &forwardsConsole);
        // A folder that names no local folder lets no file in.
        settings->filtersFiles = true;
        settings->allowedFolder = quorin::LocalFolder::of(quorin::Url::fileURL(folder));
        settings->forwardsConsole = forwardsConsole;
    }
    g_signal_connect(extension, "page-created", G_CALLBACK(quorin::onPageCreated), settings);
}
