// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Time from the "Save" command of a memory register to the settings file renamed into place: what
// a kept setting's change now costs the panel on the user-interface thread (read the file under
// its lock, write and verify a scratch file, flush it, rename it, flush the folder). The file lies
// in a folder of the current directory, on a disk like that of a user's config folder; the
// temporary folder may be memory, where flushing costs nothing.
#include "panel/viewcontroller.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

void saveToRenamed(benchmark::State &state)
{
    const QTemporaryDir folder(QDir::current().filePath(QStringLiteral("bench-settings-XXXXXX")));
    const QString file = folder.filePath(QStringLiteral("tcpad.conf"));
    panel::ViewController panel;
    panel.usePreferences(std::make_unique<store::Preferences>(file));
    panel.viewDidLoad();

    std::vector<double> micros;
    int saves = 0;
    for (auto _ : state) {
        panel.controls().scratchPadRegister->setText(QString::number(++saves));
        const auto start = std::chrono::steady_clock::now();
        panel.memController(QStringLiteral("Mem-1"), QStringLiteral("Save"));
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
    }
    if (store::Preferences(file).defMem().value(QStringLiteral("Mem-1")) !=
        QString::number(saves)) {
        state.SkipWithError("the last register saved is not in the file");
        return;
    }
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p90_us"] = micros[micros.size() * 9 / 10];
}
BENCHMARK(saveToRenamed)->Iterations(300)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
