// Start-up shared by the fuzz targets that need Qt: an offscreen application whose per-user
// settings live in a private folder, so no run can touch the user's own.
#pragma once

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

namespace fuzz {

/// The private folder of this fuzzing run; removed again when the run ends normally.
inline QTemporaryDir &privateFolder()
{
    static QTemporaryDir folder;
    return folder;
}

/// For LLVMFuzzerInitialize. The panel opens the standard per-user store before it is given a file
/// of its own, hence the private XDG_CONFIG_HOME.
inline void startOffscreenApplication(char *programName)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!privateFolder().isValid()) {
        std::abort();
    }
    qputenv("XDG_CONFIG_HOME",
            QFile::encodeName(privateFolder().filePath(QStringLiteral("config"))));
    // Qt takes the arguments it knows out of argv; give it its own copy, not the fuzzer's.
    static int qtArgc = 1;
    static char *qtArgv[] = {programName, nullptr};
    new QApplication(qtArgc, qtArgv);
}

} // namespace fuzz
