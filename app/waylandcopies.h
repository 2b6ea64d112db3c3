// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The texts tcpad copied to the Wayland clipboard, each served from the event loop to every program
// that asks for it, until another client takes the selection and the compositor cancels it.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <map>

struct wl_interface;
struct wl_proxy;
class QObject;

namespace app {

class WaylandCopies
{
public:
    /// `context` owns the pipes that texts are written into.
    explicit WaylandCopies(QObject *context) : context(context) {}
    WaylandCopies(const WaylandCopies &) = delete;
    WaylandCopies &operator=(const WaylandCopies &) = delete;

    /// Offers the text as the seat's selection through the data-control manager and device.
    void offer(wl_proxy *manager, wl_proxy *device, const wl_interface *sourceInterface,
               const QString &text);
    /// Forgets every text, as the connection closes.
    void release();

private:
    static void send(void *data, wl_proxy *source, const char *type, std::int32_t fd);
    static void cancelled(void *data, wl_proxy *source);
    static const struct SourceListener
    {
        void (*send)(void *, wl_proxy *, const char *, std::int32_t);
        void (*cancelled)(void *, wl_proxy *);
    } sourceListener;

    QObject *context;
    // The texts of the sources this client set, each until it is cancelled.
    std::map<wl_proxy *, QByteArray> sources;
};

} // namespace app
