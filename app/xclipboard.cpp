// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/xclipboard.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>

#include <xcb/xcb.h>

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
    : connection(connection), root(root), paste(this)
{
    for (int i = 0; i < atomCount; ++i) {
        atomCookies[i] =
            xcb_intern_atom(connection, 0, std::uint16_t(std::strlen(atomNames[i])), atomNames[i])
                .sequence;
    }
    xcb_flush(connection);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

XClipboard::~XClipboard()
{
    if (QCoreApplication::instance()) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
    abandon();
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

void XClipboard::setText(const QString &text)
{
    copied = text;
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

void XClipboard::readText(PasteRead::Reply reply)
{
    abandon();
    // What tcpad holds itself needs no round trip through the X server; Qt learns from the event
    // loop when another program takes the clipboard.
    if (QGuiApplication::clipboard()->ownsClipboard()) {
        paste.drop();
        reply(copied);
        return;
    }
    if (!resolved) {
        resolveAtoms();
    }
    ticket = paste.start(std::move(reply), [this] {
        paste.drop();
        abandon();
    });
    window = xcb_generate_id(connection);
    const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection, 0, window, root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    convert(atoms[utf8String]);
}

void XClipboard::convert(std::uint32_t type)
{
    target = type;
    xcb_convert_selection(connection, window, atoms[clipboard], type, atoms[property],
                          XCB_CURRENT_TIME);
    xcb_flush(connection);
}

bool XClipboard::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (!window || eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    switch (event->response_type & 0x7f) {
    case XCB_SELECTION_NOTIFY: {
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
            finish(std::nullopt);
        }
        return true;
    }
    case XCB_PROPERTY_NOTIFY: {
        const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event);
        if (notify->window != window) {
            return false;
        }
        // Each new piece of an incremental transfer; the rest is this paste's own deletions.
        if (incremental && notify->atom == atoms[property] &&
            notify->state == XCB_PROPERTY_NEW_VALUE) {
            takeProperty(false);
        }
        return true;
    }
    default:
        return false;
    }
}

void XClipboard::takeProperty(bool answer)
{
    // Asks for no more than the room left under the size limit; deleting the property asks an
    // incremental owner for its next piece. The X server answers at once, whatever the owner does.
    const auto room = std::uint32_t(PasteRead::sizeLimit - bytes.size());
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 1, window, atoms[property],
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, (room + 3) / 4),
                               nullptr));
    xcb_flush(connection);
    if (!reply) {
        finish(std::nullopt);
        return;
    }
    if (answer && reply->type == atoms[incr]) {
        // Its deletion started the transfer; the pieces come as new values of the property.
        incremental = true;
        return;
    }
    const int length = xcb_get_property_value_length(reply.get());
    if ((reply->format != 8 && length != 0) || (!incremental && reply->type == XCB_ATOM_NONE)) {
        // Not text, whatever the owner called it, or nothing at all.
        finish(std::nullopt);
        return;
    }
    bytes.append(static_cast<const char *>(xcb_get_property_value(reply.get())), length);
    // A transfer ends with an empty piece; one longer than the limit is cut there and abandoned.
    if (!incremental || length == 0 || bytes.size() >= PasteRead::sizeLimit) {
        finish(PasteRead::decode(bytes, target == XCB_ATOM_STRING));
    }
}

void XClipboard::finish(const std::optional<QString> &text)
{
    abandon();
    paste.answer(ticket, text);
}

void XClipboard::abandon()
{
    if (window) {
        xcb_destroy_window(connection, window);
        xcb_flush(connection);
    }
    window = 0;
    incremental = false;
    bytes.clear();
}

} // namespace app
