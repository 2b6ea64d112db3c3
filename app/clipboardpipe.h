// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// One end of a pipe that a clipboard text goes through, pumped from the event loop without ever
// blocking: it writes its bytes, or it reads until the other end closes or the reader has had
// enough. Then it closes the descriptor, says how the transfer ended and deletes itself.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QSocketNotifier>

#include <functional>

namespace app {

class ClipboardPipe : public QObject
{
public:
    /// Receives each piece read, and answers whether to read on.
    using Take = std::function<bool(QByteArrayView piece)>;
    /// Told whether the read ended well: the other end closed it, or the reader had enough.
    using Finished = std::function<void(bool complete)>;

    /// Writes `bytes` into `fd`.
    ClipboardPipe(int fd, QByteArray bytes, QObject *parent);
    /// Reads from `fd`.
    ClipboardPipe(int fd, Take take, Finished finished, QObject *parent);
    ~ClipboardPipe() override;
    /// Stops without a word.
    void abandon();

private:
    ClipboardPipe(int fd, QSocketNotifier::Type type, QObject *parent);
    void pump();
    void end(bool complete);

    int fd;
    QByteArray bytes;
    qsizetype written = 0;
    Take take;
    Finished finished;
    QSocketNotifier notifier;
};

} // namespace app
