// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/clipboardpipe.h"

#include "app/pasteread.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace app {

ClipboardPipe::ClipboardPipe(int fd, QByteArray toWrite, Finished finished, QObject *parent)
    : QObject(parent), fd(fd), bytes(std::move(toWrite)), finished(std::move(finished)),
      notifier(fd, this->finished ? QSocketNotifier::Read : QSocketNotifier::Write)
{
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    connect(&notifier, &QSocketNotifier::activated, this, &ClipboardPipe::pump);
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
            bytes.append(chunk, std::max<ssize_t>(n, 0));
            if (n == 0 || bytes.size() >= PasteRead::sizeLimit) {
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
        std::exchange(finished, nullptr)(bytes, complete);
    }
    deleteLater();
}

} // namespace app
