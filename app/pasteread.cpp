// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/pasteread.h"

#include <QTimer>

#include <algorithm>
#include <utility>

namespace app {

unsigned PasteRead::start(Reply toReply, std::function<void()> expired)
{
    reply = std::move(toReply);
    QTimer::singleShot(deadlineMs, context, [this, started = ++ticket, expired] {
        if (waiting() == started) {
            expired();
        }
    });
    return ticket;
}

void PasteRead::answer(unsigned forTicket, const std::optional<QString> &text)
{
    if (forTicket != 0 && forTicket == waiting()) {
        // The reply may start another paste.
        std::exchange(reply, nullptr)(text);
    }
}

QString PasteRead::decode(QByteArrayView bytes, bool latin1)
{
    bytes = bytes.first(std::min(bytes.size(), sizeLimit));
    return latin1 ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes);
}

} // namespace app
