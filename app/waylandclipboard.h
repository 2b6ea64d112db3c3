// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The Wayland clipboard, reached through the compositor's data-control protocol
// (ext_data_control_manager_v1, or else zwlr_data_control_manager_v1), which lets a client set and
// read the selection without having the keyboard focus. Through XWayland that is the only way an
// automatic copy reaches native Wayland programs on KWin and on wlroots compositors, which pass an
// X selection on only while an X window has the focus; and reading the Wayland selection at once
// avoids the stale X clipboard that KWin leaves at the moment an X window becomes active.
//
// Everything runs on the user-interface thread and never waits for the compositor: a socket
// notifier on the connection dispatches its events, and texts are sent and received through pipes
// pumped from the event loop. A compositor without data-control (mutter bridges X selections
// itself) leaves the X route alone.
#pragma once

#include "app/pasteread.h"
#include "app/waylandcopies.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct wl_callback;
struct wl_display;
struct wl_interface;
struct wl_proxy;
struct wl_registry;
struct wl_seat;
class QSocketNotifier;

namespace app {

class WaylandClipboard : public QObject, public PasteRoute
{
    Q_OBJECT

public:
    /// Connects to the compositor named by the display name (WAYLAND_DISPLAY); nothing when the
    /// name is empty or no compositor answers. Whether it offers data-control is learnt from the
    /// event loop; a read waits for that answer.
    static std::unique_ptr<WaylandClipboard> connectTo(const QByteArray &displayName);
    ~WaylandClipboard() override;

    /// Offers the text as the seat's selection and serves it to every program that asks, until
    /// another client takes the selection; the compositor passes it on to X11 programs. Answers
    /// false, doing nothing, while the compositor has not yet said that it offers data-control, or
    /// when it does not.
    bool setText(const QString &text);
    /// Reads the seat's selection: its text, or nothing when it holds no text or its owner's
    /// transfer breaks off; unanswered, at once or later, when the compositor has no data-control,
    /// the connection ends, or the compositor takes half the paste's time to answer at all.
    void read(PasteRead &paste) override;
    void cancel() override;

private:
    struct Events;
    struct Read;
    enum class State
    {
        discovering,
        ready,
        gone
    };

    explicit WaylandClipboard(wl_display *connection);
    void dispatch();
    void flush();
    void discovered();
    void release();
    void startRead();
    void receive();
    void endRead(PasteRead::End how);
    void dropOffer(wl_proxy *offer);

    wl_display *display;
    QSocketNotifier *readable;
    QSocketNotifier *writable;
    State state = State::discovering;

    wl_registry *registry = nullptr;
    wl_callback *discovery = nullptr;
    wl_seat *seat = nullptr;
    // The first of the two protocols that the compositor offers (an index of the table in the
    // source file, -1 for none), the registry name of its manager, and its source interface.
    int protocol = -1;
    std::uint32_t managerName = 0;
    const wl_interface *sourceInterface = nullptr;
    wl_proxy *manager = nullptr;
    wl_proxy *device = nullptr;

    // The offers the compositor announced, with their types; `selection` is the clipboard's.
    std::map<wl_proxy *, std::vector<std::string>> offers;
    wl_proxy *selection = nullptr;
    WaylandCopies copies;
    std::unique_ptr<Read> reading;
    // How long a read waits for the compositor, which answers at once unless it hangs; the next
    // route then has the rest of the paste's time. Once the owner is asked, the paste's deadline
    // is the only one: a program that took the selection and sends nothing would not send it to
    // X11 programs either.
    QTimer compositorWait;
};

} // namespace app
