// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What every clipboard route keeps to while a paste waits for the program that owns the clipboard:
// that program may be slow, hung or hostile. A paste is answered from the event loop, at most once;
// a newer paste supersedes one still waiting, whose answer is then stale and ignored; a paste that
// has no answer by the deadline is given up; and no more than the size limit of a text is read.
#pragma once

#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace app {

class PasteRead
{
public:
    using Reply = std::function<void(const std::optional<QString> &)>;

    /// How long a paste may wait for its text.
    static constexpr int deadlineMs = 500;
    /// Far more than the twelve characters a paste keeps, whatever marks they carry; a read stops
    /// here, so memory does not grow with the clipboard's size.
    static constexpr qsizetype sizeLimit = 64 * 1024;

    /// `context` owns the deadline's timer: none runs once it is gone.
    explicit PasteRead(QObject *context) : context(context) {}

    /// Starts a paste for `reply` and answers its ticket. A paste still waiting is superseded
    /// without an answer. When this one has none by the deadline, `expired` runs.
    unsigned start(Reply reply, std::function<void()> expired);
    /// The ticket of the paste waiting, 0 for none.
    unsigned waiting() const { return reply ? ticket : 0; }
    /// Hands the text (nothing for none) to the paste with this ticket and ends it; a stale ticket
    /// (superseded, given up or answered) gets nothing.
    void answer(unsigned forTicket, const std::optional<QString> &text);
    /// Ends the paste waiting without an answer.
    void drop() { reply = nullptr; }

    /// The text of bytes in UTF-8, or Latin-1 (X11's STRING), cut at the size limit.
    static QString decode(QByteArrayView bytes, bool latin1);

private:
    QObject *context;
    Reply reply;
    unsigned ticket = 0;
};

} // namespace app
