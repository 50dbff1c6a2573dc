#include "app/StartupNotice.h"

#include <xcb/xcb.h>

#include <QGuiApplication>

#include <algorithm>
#include <cstring>
#include <memory>

namespace clipforge {

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// The message goes out in pieces of 20 bytes, from a window of the sender's own.
void broadcast(xcb_connection_t* connection, const QByteArray& message)
{
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_atom_t begin = atom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = atom(connection, "_NET_STARTUP_INFO");
    if (!screen || begin == XCB_ATOM_NONE || more == XCB_ATOM_NONE)
        return;
    const xcb_window_t sender = xcb_generate_id(connection);
    xcb_create_window(connection, 0, sender, screen->root, -100, -100, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    for (qsizetype offset = 0; offset < message.size(); offset += 20) {
        xcb_client_message_event_t event {};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = sender;
        event.type = offset == 0 ? begin : more;
        std::memcpy(event.data.data8, message.constData() + offset,
                    static_cast<size_t>(std::min<qsizetype>(20, message.size() - offset)));
        xcb_send_event(connection, 0, screen->root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char*>(&event));
    }
    xcb_destroy_window(connection, sender);
    xcb_flush(connection);
}

}  // namespace

QByteArray startupRemoveMessage(const QByteArray& id)
{
    QByteArray quoted = "\"";
    for (const char c : id) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return "remove: ID=" + quoted + "\"" + QByteArray(1, '\0');
}

void endStartupNotice(const QByteArray& id)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (id.isEmpty() || !x11 || !x11->connection())
        return;
    broadcast(x11->connection(), startupRemoveMessage(id));
}

}  // namespace clipforge
