// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/waylandcopies.h"

#include "app/clipboardpipe.h"
#include "app/waylandrequests.h"

namespace app {

namespace {

// UTF-8 text, under the names Wayland and X11 programs ask for.
const char *const offeredTypes[] = {"text/plain;charset=utf-8", "text/plain", "UTF8_STRING"};

} // namespace

const WaylandCopies::SourceListener WaylandCopies::sourceListener = {send, cancelled};

void WaylandCopies::offer(wl_proxy *manager, wl_proxy *device, const wl_interface *sourceInterface,
                          const QString &text)
{
    wl_proxy *source =
        wl_proxy_marshal_flags(manager, wayland::createDataSource, sourceInterface, 1, 0, nullptr);
    wl_proxy_add_listener(source, wayland::listener(sourceListener), this);
    for (const char *type : offeredTypes) {
        wl_proxy_marshal_flags(source, wayland::offerType, nullptr, 1, 0, type);
    }
    wl_proxy_marshal_flags(device, wayland::setSelection, nullptr, 1, 0, source);
    sources[source] = text.toUtf8();
}

void WaylandCopies::release()
{
    for (const auto &[source, text] : sources) {
        wl_proxy_destroy(source);
    }
    sources.clear();
}

void WaylandCopies::send(void *data, wl_proxy *source, const char *, std::int32_t fd)
{
    // Every text type offered is the same UTF-8.
    auto &self = *static_cast<WaylandCopies *>(data);
    const auto text = self.sources.find(source);
    new ClipboardPipe(fd, text != self.sources.end() ? text->second : QByteArray(), self.context);
}

void WaylandCopies::cancelled(void *data, wl_proxy *source)
{
    static_cast<WaylandCopies *>(data)->sources.erase(source);
    wayland::destroy(source, wayland::destroySource);
}

} // namespace app
