// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Any bytes, read as keys, menu and memory commands, format changes, clipboard texts, focus
// changes and restarts on a headless panel, which is checked after every step.
#include "fuzz/paneldriver.h"

#include <QApplication>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    // tests/privateconfig.cpp, linked in, keeps the user's own settings out of reach. Qt takes
    // the arguments it knows out of argv: it gets a copy, not the fuzzer's.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char *arguments[] = {(*argv)[0], nullptr};
    new QApplication(argc, arguments);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QTemporaryDir folder;
    fuzz::drivePanel({data, size}, folder.filePath("tcpad.conf"), 4096);
    // No event loop runs here; objects Qt deletes later would pile up from input to input.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
