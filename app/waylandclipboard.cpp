// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/waylandclipboard.h"

#include "app/clipboardpipe.h"
#include "app/waylandrequests.h"

#include <QPointer>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace app {

using namespace wayland;

namespace {

// The first of these that the compositor offers is used.
struct Protocol
{
    const char *manager;
    const wl_interface *managerInterface;
    const wl_interface *deviceInterface;
    const wl_interface *sourceInterface;
};
const Protocol protocols[] = {
    {"ext_data_control_manager_v1", &ext_data_control_manager_v1_interface,
     &ext_data_control_device_v1_interface, &ext_data_control_source_v1_interface},
    {"zwlr_data_control_manager_v1", &zwlr_data_control_manager_v1_interface,
     &zwlr_data_control_device_v1_interface, &zwlr_data_control_source_v1_interface},
};

// What a read takes, best first; STRING is Latin-1 by X11's rules, the others are UTF-8.
const char *const readTypes[] = {"text/plain;charset=utf-8", "UTF8_STRING", "text/plain", "STRING"};
const char *const latin1Type = "STRING";

} // namespace

// A read under way: first the compositor's answer to a sync request, which says that every event
// sent before it (the latest selection above all) has arrived, then the transfer of the text.
struct WaylandClipboard::Read
{
    PasteRead *paste = nullptr;
    wl_callback *sync = nullptr;
    QPointer<ClipboardPipe> pipe;

    ~Read()
    {
        if (sync) {
            wl_callback_destroy(sync);
        }
        if (pipe) {
            pipe->abandon();
        }
    }
};

// The event handlers of the objects a read uses, for either protocol.
struct WaylandClipboard::Events
{
    static WaylandClipboard &self(void *data) { return *static_cast<WaylandClipboard *>(data); }

    static void global(void *data, wl_registry *registry, std::uint32_t name, const char *interface,
                       std::uint32_t)
    {
        WaylandClipboard &c = self(data);
        if (!c.seat && std::strcmp(interface, wl_seat_interface.name) == 0) {
            c.seat =
                static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        }
        for (int i = 0; i < int(std::size(protocols)); ++i) {
            if (std::strcmp(interface, protocols[i].manager) == 0 &&
                (c.protocol < 0 || i < c.protocol)) {
                c.protocol = i;
                c.managerName = name;
            }
        }
    }
    static void globalRemove(void *, wl_registry *, std::uint32_t) {}
    static void discovered(void *data, wl_callback *, std::uint32_t) { self(data).discovered(); }
    static void synced(void *data, wl_callback *, std::uint32_t) { self(data).receive(); }

    static void dataOffer(void *data, wl_proxy *, wl_proxy *offer)
    {
        self(data).offers[offer];
        wl_proxy_add_listener(offer, wayland::listener(offerListener), data);
    }
    static void selection(void *data, wl_proxy *, wl_proxy *offer)
    {
        WaylandClipboard &c = self(data);
        if (c.selection && c.selection != offer) {
            c.dropOffer(c.selection);
        }
        c.selection = offer;
    }
    static void finished(void *data, wl_proxy *) { self(data).state = State::gone; }
    static void primarySelection(void *data, wl_proxy *, wl_proxy *offer)
    {
        if (offer) {
            self(data).dropOffer(offer);
        }
    }
    static void offeredType(void *data, wl_proxy *offer, const char *type)
    {
        self(data).offers[offer].emplace_back(type);
    }

    static const wl_registry_listener registryListener;
    static const wl_callback_listener discoveryListener;
    static const wl_callback_listener syncListener;
    static const struct DeviceListener
    {
        void (*dataOffer)(void *, wl_proxy *, wl_proxy *);
        void (*selection)(void *, wl_proxy *, wl_proxy *);
        void (*finished)(void *, wl_proxy *);
        void (*primarySelection)(void *, wl_proxy *, wl_proxy *);
    } deviceListener;
    static const struct OfferListener
    {
        void (*offer)(void *, wl_proxy *, const char *);
    } offerListener;
};

const wl_registry_listener WaylandClipboard::Events::registryListener = {global, globalRemove};
const wl_callback_listener WaylandClipboard::Events::discoveryListener = {discovered};
const wl_callback_listener WaylandClipboard::Events::syncListener = {synced};
const WaylandClipboard::Events::DeviceListener WaylandClipboard::Events::deviceListener = {
    dataOffer, selection, finished, primarySelection};
const WaylandClipboard::Events::OfferListener WaylandClipboard::Events::offerListener = {
    offeredType};

std::unique_ptr<WaylandClipboard> WaylandClipboard::connectTo(const QByteArray &displayName)
{
    wl_display *display = displayName.isEmpty() ? nullptr : wl_display_connect(displayName);
    if (!display) {
        return nullptr;
    }
    // A program reading a text that tcpad serves may close its end early; that must not end tcpad.
    std::signal(SIGPIPE, SIG_IGN);
    return std::unique_ptr<WaylandClipboard>(new WaylandClipboard(display));
}

WaylandClipboard::WaylandClipboard(wl_display *connection)
    : display(connection),
      readable(new QSocketNotifier(wl_display_get_fd(connection), QSocketNotifier::Read, this)),
      writable(new QSocketNotifier(wl_display_get_fd(connection), QSocketNotifier::Write, this)),
      copies(this)
{
    connect(readable, &QSocketNotifier::activated, this, &WaylandClipboard::dispatch);
    connect(writable, &QSocketNotifier::activated, this, &WaylandClipboard::flush);
    compositorWait.setSingleShot(true);
    compositorWait.setInterval(PasteRead::deadlineMs / 2);
    connect(&compositorWait, &QTimer::timeout, this, [this] {
        if (reading && !reading->pipe) {
            endRead(PasteRead::End::unanswered);
        }
    });
    registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &Events::registryListener, this);
    discovery = wl_display_sync(display);
    wl_callback_add_listener(discovery, &Events::discoveryListener, this);
    flush();
}

WaylandClipboard::~WaylandClipboard()
{
    reading.reset();
    release();
}

void WaylandClipboard::dispatch()
{
    // The notifier said there is something to read, so reading does not block; failures are kept
    // by the display and looked at below.
    if (wl_display_prepare_read(display) == 0) {
        wl_display_read_events(display);
    }
    wl_display_dispatch_pending(display);
    flush();
    if (state == State::gone || wl_display_get_error(display) != 0) {
        release();
    }
}

void WaylandClipboard::flush()
{
    // A full socket is flushed again when it can take more, so no request waits for the next one.
    writable->setEnabled(display && wl_display_flush(display) < 0 && errno == EAGAIN);
}

void WaylandClipboard::discovered()
{
    wl_callback_destroy(std::exchange(discovery, nullptr));
    if (protocol < 0 || !seat) {
        state = State::gone;
        return;
    }
    const Protocol &chosen = protocols[protocol];
    manager = static_cast<wl_proxy *>(
        wl_registry_bind(registry, managerName, chosen.managerInterface, 1));
    device =
        wl_proxy_marshal_flags(manager, getDataDevice, chosen.deviceInterface, 1, 0, nullptr, seat);
    wl_proxy_add_listener(device, wayland::listener(Events::deviceListener), this);
    sourceInterface = chosen.sourceInterface;
    state = State::ready;
    if (reading) {
        startRead();
    }
}

void WaylandClipboard::release()
{
    state = State::gone;
    if (!display) {
        return;
    }
    if (reading && reading->sync) {
        wl_callback_destroy(std::exchange(reading->sync, nullptr));
    }
    for (const auto &[offer, types] : offers) {
        wl_proxy_destroy(offer);
    }
    copies.release();
    offers.clear();
    selection = nullptr;
    for (wl_proxy *proxy :
         {device, manager, reinterpret_cast<wl_proxy *>(seat),
          reinterpret_cast<wl_proxy *>(discovery), reinterpret_cast<wl_proxy *>(registry)}) {
        if (proxy) {
            wl_proxy_destroy(proxy);
        }
    }
    device = manager = nullptr;
    seat = nullptr;
    discovery = nullptr;
    registry = nullptr;
    // This may run in the notifiers' own slot.
    readable->setEnabled(false);
    writable->setEnabled(false);
    wl_display_disconnect(std::exchange(display, nullptr));
    if (reading) {
        endRead(PasteRead::End::unanswered);
    }
}

bool WaylandClipboard::setText(const QString &text)
{
    if (state != State::ready) {
        return false;
    }
    copies.offer(manager, device, sourceInterface, text);
    flush();
    return true;
}

void WaylandClipboard::read(PasteRead &paste)
{
    if (state == State::gone) {
        paste.end(PasteRead::End::unanswered);
        return;
    }
    reading = std::make_unique<Read>();
    reading->paste = &paste;
    compositorWait.start();
    if (state == State::ready) {
        startRead();
    }
}

void WaylandClipboard::cancel()
{
    reading.reset();
}

void WaylandClipboard::startRead()
{
    reading->sync = wl_display_sync(display);
    wl_callback_add_listener(reading->sync, &Events::syncListener, this);
    flush();
}

void WaylandClipboard::receive()
{
    wl_callback_destroy(std::exchange(reading->sync, nullptr));
    const auto offered = offers.find(selection);
    const char *const *type =
        offered == offers.end()
            ? std::end(readTypes)
            : std::find_if(std::begin(readTypes), std::end(readTypes), [&](const char *t) {
                  return std::ranges::find(offered->second, t) != offered->second.end();
              });
    int fds[2];
    if (type == std::end(readTypes) || ::pipe2(fds, O_CLOEXEC) != 0) {
        // An empty selection, or one without text: nothing to paste.
        endRead(PasteRead::End::nothing);
        return;
    }
    wl_proxy_marshal_flags(selection, Request::receive, nullptr, 1, 0, *type, fds[1]);
    ::close(fds[1]);
    flush();
    const PasteRead::End text =
        std::strcmp(*type, latin1Type) == 0 ? PasteRead::End::latin1 : PasteRead::End::utf8;
    reading->pipe = new ClipboardPipe(
        fds[0], [paste = reading->paste](QByteArrayView piece) { return paste->append(piece); },
        // A transfer cut short holds no text to trust.
        [this, text](bool complete) { endRead(complete ? text : PasteRead::End::nothing); }, this);
}

void WaylandClipboard::endRead(PasteRead::End how)
{
    const std::unique_ptr<Read> ended = std::move(reading);
    ended->paste->end(how);
}

void WaylandClipboard::dropOffer(wl_proxy *offer)
{
    offers.erase(offer);
    destroy(offer, destroyOffer);
}

} // namespace app
