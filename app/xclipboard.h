// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The X11 CLIPBOARD selection, read through XCB on the connection of Qt's xcb platform rather than
// through Qt's clipboard, whose read waits for the owner with the event loop stopped: a hung owner
// froze the window for seconds, and a huge text was read whole. Here a paste asks the owner to
// convert the selection onto a window of tcpad's own, made for that paste, and takes the answer
// from the event loop through a native event filter, incremental transfers included, under the
// deadline and size limit every paste keeps. An answer naming the window of an earlier paste is
// stale and ignored. Copies still go through Qt, which serves them to X11 programs.
#pragma once

#include "app/pasteread.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

struct xcb_connection_t;

namespace app {

class XClipboard : public QObject, public QAbstractNativeEventFilter
{
public:
    /// A reader on Qt's X connection, on the xcb platform; nothing on any other.
    static std::unique_ptr<XClipboard> onQtConnection();
    ~XClipboard() override;

    /// Puts the text on the clipboard through Qt, which serves it to other programs.
    void setText(const QString &text);
    /// Hands the clipboard's text to `reply` from the event loop, or nothing when it holds none;
    /// what tcpad copied itself is answered at once. No answer comes when the owner does not send
    /// the text by the deadline, or when a newer read comes first.
    void readText(PasteRead::Reply reply);

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    XClipboard(xcb_connection_t *connection, std::uint32_t root);
    void resolveAtoms();
    void convert(std::uint32_t target);
    /// Takes the text, or a piece of an incremental transfer, from the window's property.
    void takeProperty(bool answer);
    void finish(const std::optional<QString> &text);
    /// Ends the transfer under way: its window goes, and with it anything still written to it.
    void abandon();

    xcb_connection_t *connection;
    std::uint32_t root;
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

    QString copied;
    PasteRead paste;
    // The paste under way: its window, the type asked for, whether the text comes in pieces, and
    // what came so far.
    unsigned ticket = 0;
    std::uint32_t window = 0;
    std::uint32_t target = 0;
    bool incremental = false;
    QByteArray bytes;
};

} // namespace app
