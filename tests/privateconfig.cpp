// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Linked into every test program: its settings live in a private folder of its own, made before
// main() runs, so that no test reads or writes the settings of the user running it, also when a
// test program is started by hand rather than by CTest.
#include <QTemporaryDir>
#include <QtGlobal>

namespace {

struct PrivateConfigFolder
{
    PrivateConfigFolder() { qputenv("XDG_CONFIG_HOME", folder.path().toLocal8Bit()); }
    QTemporaryDir folder;
} privateConfigFolder;

} // namespace
