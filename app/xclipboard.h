// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The X11 CLIPBOARD selection, read through XCB on the connection of Qt's xcb platform rather than
// through Qt's clipboard, whose read waits for the owner with the event loop stopped: a hung owner
// froze the window for seconds, and a huge text was read whole. Here a paste asks the owner to
// convert the selection onto a window of tcpad's own, made for that paste, and takes the answer
// from the event loop through a native event filter, incremental transfers included. An answer
// naming the window of an earlier paste is stale and ignored. Copies go through Qt, which serves
// them to X11 programs.
//
// The answer is read as the X rules for selections (ICCCM) have it: text only as UTF8_STRING or
// STRING, each decoded by the type the owner gave its reply, whatever was asked for, and every
// piece of an incremental transfer in the type of the first; the request carries a time from the
// X server rather than CurrentTime, which a careful owner refuses; and an owner that goes away,
// or hands the clipboard on, ends the paste at once with no text rather than at the deadline.
#pragma once

#include "app/pasteread.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>

#include <cstdint>
#include <memory>

struct xcb_connection_t;

namespace app {

class XClipboard : public QAbstractNativeEventFilter, public PasteRoute
{
public:
    /// A reader on Qt's X connection, on the xcb platform; nothing on any other.
    static std::unique_ptr<XClipboard> onQtConnection();
    ~XClipboard() override;

    /// Reads the clipboard's text from its owner, or nothing when it has none to give.
    void read(PasteRead &paste) override;
    void cancel() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    XClipboard(xcb_connection_t *connection, std::uint32_t root);
    void resolveAtoms();
    void convert(std::uint32_t target);
    /// Takes the answer, or a piece of an incremental transfer, from the window's property.
    void takeProperty(bool answer);
    void finish(PasteRead::End how);

    xcb_connection_t *connection;
    std::uint32_t root;
    // The code of the XFixes extension's selection event, which tells of the owner's leaving; 0
    // where the X server lacks the extension.
    std::uint8_t ownerEvent = 0;
    // The atoms are asked for at the start and their answers taken at the first paste.
    enum Atom
    {
        clipboard,
        utf8String,
        incr,
        property,
        atomCount
    };
    std::uint32_t atomCookies[atomCount] = {};
    std::uint32_t atoms[atomCount] = {};
    bool resolved = false;

    // The paste under way: where its text goes, its window, the type asked for (none while the
    // server's time is fetched), the time asked at, whether the text comes in pieces and the type
    // of the first.
    PasteRead *paste = nullptr;
    std::uint32_t window = 0;
    std::uint32_t target = 0;
    std::uint32_t time = 0;
    bool incremental = false;
    std::uint32_t pieceType = 0;
};

} // namespace app
