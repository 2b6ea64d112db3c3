// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// One paste as the clipboard routes see it. The program that owns the clipboard may be slow, hung
// or hostile, so DesktopClipboard keeps the paste's promise for every route alike: one answer,
// within the deadline, from no more than the size limit of bytes, and none for a paste that a
// newer one replaced. A route only reads: it appends the bytes it gets here, where the limit is
// kept, asks the owner for no more than the room left, and ends its read once.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <functional>
#include <utility>

namespace app {

class PasteRead
{
public:
    /// How long a paste may wait for its text, whichever routes it takes.
    static constexpr int deadlineMs = 500;
    /// Far more than the twelve characters a paste keeps, whatever marks they carry; a read stops
    /// here, so memory does not grow with the clipboard's size.
    static constexpr qsizetype sizeLimit = 64 * 1024;

    /// How a read ended: with its bytes as UTF-8 or as Latin-1 (X11's STRING), with no text, or
    /// unanswered, when the route cannot reach the clipboard and the next one is asked.
    enum class End
    {
        utf8,
        latin1,
        nothing,
        unanswered
    };
    using Ended = std::function<void(End)>;

    explicit PasteRead(Ended ended) : ended(std::move(ended)) {}

    /// What may still be appended.
    qsizetype room() const { return sizeLimit - bytes.size(); }
    /// Keeps what fits under the size limit; false once the limit is reached, where the read
    /// stops.
    bool append(QByteArrayView more);
    /// Ends the read; the route leaves the paste alone from here on, as the answer may already
    /// have started the next one.
    void end(End how) { ended(how); }
    const QByteArray &read() const { return bytes; }
    void clear() { bytes.clear(); }

private:
    QByteArray bytes;
    Ended ended;
};

/// A way to the clipboard's text.
class PasteRoute
{
public:
    virtual ~PasteRoute() = default;
    /// Reads the clipboard into `paste` and ends the read once, at once or from the event loop,
    /// unless it is cancelled first.
    virtual void read(PasteRead &paste) = 0;
    /// Ends the read under way, if any, without a word: its paste was answered, given up or
    /// replaced.
    virtual void cancel() = 0;
};

} // namespace app
