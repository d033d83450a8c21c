// The desktop's launch feedback (the busy cursor or the task-bar entry that a
// launcher shows until the program's window appears).
#include "launchfeedback.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstring>

namespace vardeko {

namespace {

// The windowing system clears the variable when the application object is made,
// so it is read while the program loads.
const QByteArray StartupId = qgetenv("DESKTOP_STARTUP_ID");

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, false, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

// A value of the startup-notification protocol: quoted, with quotes and
// backslashes escaped, whenever it holds a blank.
QByteArray protocolValue(const QByteArray &value)
{
    if (!value.contains(' ') && !value.contains('"') && !value.contains('\\'))
        return value;
    QByteArray quoted = "\"";
    for (char ch : value) {
        if (ch == '"' || ch == '\\')
            quoted += '\\';
        quoted += ch;
    }
    return quoted + '"';
}

} // namespace

QByteArray launchId()
{
    return StartupId;
}

void endLaunchFeedback(const QByteArray &id)
{
    if (id.isEmpty())
        return;
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *c = x11 ? x11->connection() : nullptr;
    if (!c)
        return;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (!screen)
        return;
    const xcb_atom_t begin = atom(c, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = atom(c, "_NET_STARTUP_INFO");
    // The messages name a window of the sender; one that is never shown will do.
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, -100, -100, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    // The message travels in pieces of 20 bytes, its closing zero byte included.
    const QByteArray message = "remove: ID=" + protocolValue(id);
    const qsizetype total = message.size() + 1;
    for (qsizetype at = 0; at < total; at += 20) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = window;
        event.type = at == 0 ? begin : more;
        const qsizetype n = std::min<qsizetype>(20, message.size() - at);
        if (n > 0)
            std::memcpy(event.data.data8, message.constData() + at, size_t(n));
        xcb_send_event(c, false, screen->root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char *>(&event));
    }
    xcb_destroy_window(c, window);
    xcb_flush(c);
}

} // namespace vardeko
