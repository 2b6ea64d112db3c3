// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// One end of a pipe that a clipboard text goes through, pumped from the event loop without ever
// blocking: it writes its bytes, or it reads until the other end closes or the paste's size limit
// is reached. Then it closes the descriptor, hands over what it read and deletes itself.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>

#include <functional>

namespace app {

class ClipboardPipe : public QObject
{
public:
    /// Receives what was read, and whether the read ended well.
    using Finished = std::function<void(const QByteArray &bytes, bool complete)>;

    /// Writes `toWrite` into `fd` when `finished` is empty, else reads from it.
    ClipboardPipe(int fd, QByteArray toWrite, Finished finished, QObject *parent);
    ~ClipboardPipe() override;
    /// Stops without handing anything over.
    void abandon();

private:
    void pump();
    void end(bool complete);

    int fd;
    QByteArray bytes;
    qsizetype written = 0;
    Finished finished;
    QSocketNotifier notifier;
};

} // namespace app
