// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/clipboardpipe.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace app {

ClipboardPipe::ClipboardPipe(int fd, QSocketNotifier::Type type, QObject *parent)
    : QObject(parent), fd(fd), notifier(fd, type)
{
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    connect(&notifier, &QSocketNotifier::activated, this, &ClipboardPipe::pump);
}

ClipboardPipe::ClipboardPipe(int fd, QByteArray bytes, QObject *parent)
    : ClipboardPipe(fd, QSocketNotifier::Write, parent)
{
    this->bytes = std::move(bytes);
}

ClipboardPipe::ClipboardPipe(int fd, Take take, Finished finished, QObject *parent)
    : ClipboardPipe(fd, QSocketNotifier::Read, parent)
{
    this->take = std::move(take);
    this->finished = std::move(finished);
}

ClipboardPipe::~ClipboardPipe()
{
    if (fd >= 0) {
        ::close(fd);
    }
}

void ClipboardPipe::abandon()
{
    finished = nullptr;
    end(false);
}

void ClipboardPipe::pump()
{
    for (;;) {
        ssize_t n = 0;
        if (notifier.type() == QSocketNotifier::Write) {
            if (written == bytes.size()) {
                return end(true);
            }
            n = ::write(fd, bytes.constData() + written, std::size_t(bytes.size() - written));
            written += std::max<ssize_t>(n, 0);
        } else {
            char chunk[16384];
            n = ::read(fd, chunk, sizeof chunk);
            if (n == 0 || (n > 0 && !take(QByteArrayView(chunk, n)))) {
                return end(true);
            }
        }
        if (n < 0 && errno == EAGAIN) {
            return;
        }
        if (n <= 0 && errno != EINTR) {
            return end(false);
        }
    }
}

void ClipboardPipe::end(bool complete)
{
    if (fd < 0) {
        return;
    }
    notifier.setEnabled(false);
    ::close(std::exchange(fd, -1));
    if (finished) {
        std::exchange(finished, nullptr)(complete);
    }
    deleteLater();
}

} // namespace app
