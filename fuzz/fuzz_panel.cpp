// Any bytes, read as a sequence of keys, menu commands, memory commands, format changes,
// clipboard texts, focus changes and restarts on a headless panel; the driver checks the panel
// after every step and stops the run at the first broken rule.
#include "fuzz/paneldriver.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QTemporaryDir &folder()
{
    static QTemporaryDir dir; // removed again when the run ends normally
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!folder().isValid()) {
        std::abort();
    }
    // The panel opens the standard per-user store before it is given its own file; keep the
    // user's settings out of reach.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder().filePath(QStringLiteral("config"))));
    // Qt takes the arguments it knows out of argv; give it its own copy, not the fuzzer's.
    static int qtArgc = 1;
    static char *qtArgv[] = {(*argv)[0], nullptr};
    new QApplication(qtArgc, qtArgv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::PanelDriver driver(folder().filePath(QStringLiteral("tcpad.conf")));
    driver.run({data, size}, 4096);
    // No event loop runs here; objects Qt deletes later would pile up from input to input.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
