// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/x11windowstate.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>

namespace app {

namespace {

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return value;
}

} // namespace

void skipTaskbar(QWidget *window)
{
    // Other platforms may offer the X11 interface too (the offscreen one does) without an X
    // server behind it.
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !window ||
        !window->isVisible()) {
        return;
    }
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection) {
        return;
    }
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen) {
        return;
    }

    // A mapped window's state belongs to the window manager: ask it with a client message.
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(window->window()->winId());
    message.type = atom(connection, "_NET_WM_STATE");
    message.data.data32[0] = 1; // add
    message.data.data32[1] = atom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    message.data.data32[2] = atom(connection, "_NET_WM_STATE_SKIP_PAGER");
    message.data.data32[3] = 1; // sent by an application
    xcb_send_event(connection, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);
}

} // namespace app
