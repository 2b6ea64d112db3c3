// Any bytes, read as keys, menu and memory commands, format changes, clipboard texts, focus
// changes and restarts on a headless panel, which is checked after every step.
#include "fuzz/offscreenapplication.h"
#include "fuzz/paneldriver.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    fuzz::startOffscreenApplication((*argv)[0]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::drivePanel({data, size}, fuzz::privateFolder().filePath(QStringLiteral("tcpad.conf")),
                     4096);
    // No event loop runs here; objects Qt deletes later would pile up from input to input.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
