// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/xclipboard.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdlib>
#include <cstring>
#include <utility>

namespace app {

namespace {

const char *const atomNames[] = {"CLIPBOARD", "UTF8_STRING", "INCR", "TCPAD_PASTE"};

// XCB's replies are malloc'ed.
struct Free
{
    void operator()(void *reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, Free>;

} // namespace

std::unique_ptr<XClipboard> XClipboard::onQtConnection()
{
    // Other platforms may offer the X11 interface too (the offscreen one does) without an X server
    // behind it.
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return nullptr;
    }
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    const xcb_screen_t *screen =
        connection ? xcb_setup_roots_iterator(xcb_get_setup(connection)).data : nullptr;
    if (!screen) {
        return nullptr;
    }
    return std::unique_ptr<XClipboard>(new XClipboard(connection, screen->root));
}

XClipboard::XClipboard(xcb_connection_t *connection, std::uint32_t root)
    : connection(connection), root(root)
{
    for (int i = 0; i < atomCount; ++i) {
        atomCookies[i] =
            xcb_intern_atom(connection, 0, std::uint16_t(std::strlen(atomNames[i])), atomNames[i])
                .sequence;
    }
    const xcb_query_extension_reply_t *fixes = xcb_get_extension_data(connection, &xcb_xfixes_id);
    if (fixes && fixes->present) {
        ownerEvent = std::uint8_t(fixes->first_event + XCB_XFIXES_SELECTION_NOTIFY);
        // The extension takes requests from a client only once it has said which version it
        // speaks; Qt has said so on this connection, but need not.
        xcb_discard_reply(connection, xcb_xfixes_query_version(connection, 1, 0).sequence);
    }
    xcb_flush(connection);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

XClipboard::~XClipboard()
{
    if (QCoreApplication::instance()) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
    cancel();
    if (!resolved) {
        for (const std::uint32_t cookie : atomCookies) {
            xcb_discard_reply(connection, cookie);
        }
    }
}

void XClipboard::resolveAtoms()
{
    // The X server answered long ago; only the first paste takes the answers.
    for (int i = 0; i < atomCount; ++i) {
        const Reply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(connection, {atomCookies[i]}, nullptr));
        atoms[i] = reply ? reply->atom : std::uint32_t(XCB_ATOM_NONE);
    }
    resolved = true;
}

void XClipboard::read(PasteRead &reading)
{
    cancel();
    if (!resolved) {
        resolveAtoms();
    }
    paste = &reading;
    window = xcb_generate_id(connection);
    const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection, 0, window, root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    if (ownerEvent) {
        xcb_xfixes_select_selection_input(
            connection, window, atoms[clipboard],
            XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    }
    // The request is to carry the time of the event behind the paste, which a focus change does
    // not have; the server's time comes instead with the notice of a change to the window's
    // property that changes nothing.
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, window, atoms[property], XCB_ATOM_INTEGER,
                        32, 0, nullptr);
    xcb_flush(connection);
}

void XClipboard::convert(std::uint32_t type)
{
    target = type;
    xcb_convert_selection(connection, window, atoms[clipboard], type, atoms[property], time);
    xcb_flush(connection);
}

bool XClipboard::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (!window || eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    if (type == XCB_SELECTION_NOTIFY) {
        const auto *notify = reinterpret_cast<const xcb_selection_notify_event_t *>(event);
        if (notify->requestor != window) {
            return false;
        }
        if (notify->property != XCB_ATOM_NONE) {
            takeProperty(true);
        } else if (target == atoms[utf8String]) {
            // An owner that has no UTF-8 may still have Latin-1.
            convert(XCB_ATOM_STRING);
        } else {
            finish(PasteRead::End::nothing);
        }
        return true;
    }
    if (type == XCB_PROPERTY_NOTIFY) {
        const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event);
        if (notify->window != window || notify->atom != atoms[property]) {
            return false;
        }
        if (!target) {
            time = notify->time;
            convert(atoms[utf8String]);
        } else if (incremental && notify->state == XCB_PROPERTY_NEW_VALUE) {
            // Each new piece of an incremental transfer; the rest is this paste's own deletions.
            takeProperty(false);
        }
        return true;
    }
    if (ownerEvent && type == ownerEvent) {
        // The owner's window or connection went, or another program took the clipboard: what
        // was asked for will not come.
        const auto *notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t *>(event);
        if (notify->window != window) {
            return false;
        }
        finish(PasteRead::End::nothing);
        return true;
    }
    return false;
}

void XClipboard::takeProperty(bool answer)
{
    // Asks for no more than the room left under the size limit; deleting the property asks an
    // incremental owner for its next piece. The X server answers at once, whatever the owner does.
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 1, window, atoms[property], XCB_GET_PROPERTY_TYPE_ANY, 0,
                         std::uint32_t(paste->room() + 3) / 4),
        nullptr));
    xcb_flush(connection);
    if (reply && answer && reply->type == atoms[incr]) {
        // Its deletion started the transfer; the pieces come as new values of the property.
        incremental = true;
        return;
    }
    // Text is UTF8_STRING or STRING, by the type the owner gave it, which may not be the type
    // asked for; COMPOUND_TEXT and the rest are not read. The pieces of a transfer keep one type.
    const std::uint32_t type = reply ? reply->type : std::uint32_t(XCB_ATOM_NONE);
    if (!reply || reply->format != 8 || (type != atoms[utf8String] && type != XCB_ATOM_STRING) ||
        (pieceType && type != pieceType)) {
        finish(PasteRead::End::nothing);
        return;
    }
    pieceType = type;
    const int length = xcb_get_property_value_length(reply.get());
    const bool room =
        paste->append({static_cast<const char *>(xcb_get_property_value(reply.get())), length});
    // A transfer ends with an empty piece; one longer than the limit is cut there and abandoned.
    if (!incremental || length == 0 || !room) {
        finish(type == XCB_ATOM_STRING ? PasteRead::End::latin1 : PasteRead::End::utf8);
    }
}

void XClipboard::finish(PasteRead::End how)
{
    PasteRead *ended = paste;
    cancel();
    ended->end(how);
}

void XClipboard::cancel()
{
    if (window) {
        // Anything still written to it goes with it.
        xcb_destroy_window(connection, window);
        xcb_flush(connection);
    }
    paste = nullptr;
    window = target = time = pieceType = 0;
    incremental = false;
}

} // namespace app
