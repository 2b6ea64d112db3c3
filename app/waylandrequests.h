// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The data-control requests tcpad makes, for either protocol: the two name their interfaces
// differently but have the same requests and events in the same order, so one implementation
// serves both. Included by the Wayland clipboard's sources only.
#pragma once

#include "ext-data-control-v1-client-protocol.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <cstdint>

namespace app::wayland {

enum Request : std::uint32_t
{
    getDataDevice = EXT_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE,
    createDataSource = EXT_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE,
    setSelection = EXT_DATA_CONTROL_DEVICE_V1_SET_SELECTION,
    offerType = EXT_DATA_CONTROL_SOURCE_V1_OFFER,
    destroySource = EXT_DATA_CONTROL_SOURCE_V1_DESTROY,
    receive = EXT_DATA_CONTROL_OFFER_V1_RECEIVE,
    destroyOffer = EXT_DATA_CONTROL_OFFER_V1_DESTROY,
};
static_assert(getDataDevice == ZWLR_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE &&
              createDataSource == ZWLR_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE &&
              setSelection == ZWLR_DATA_CONTROL_DEVICE_V1_SET_SELECTION &&
              offerType == ZWLR_DATA_CONTROL_SOURCE_V1_OFFER &&
              destroySource == ZWLR_DATA_CONTROL_SOURCE_V1_DESTROY &&
              receive == ZWLR_DATA_CONTROL_OFFER_V1_RECEIVE &&
              destroyOffer == ZWLR_DATA_CONTROL_OFFER_V1_DESTROY);

inline void destroy(wl_proxy *proxy, std::uint32_t opcode)
{
    wl_proxy_marshal_flags(proxy, opcode, nullptr, wl_proxy_get_version(proxy),
                           WL_MARSHAL_FLAG_DESTROY);
}

/// A table of event handlers, laid out as the protocol's events are numbered, as libwayland takes
/// it.
template <typename Listener>
void (**listener(const Listener &functions))(void)
{
    return reinterpret_cast<void (**)(void)>(const_cast<Listener *>(&functions));
}

} // namespace app::wayland
