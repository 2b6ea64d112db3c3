// The panel under long pseudo-random sequences of keys, menu and memory commands, format changes,
// clipboard texts, focus changes and restarts, and under the kept sequences that once broke it or
// that reach its rarer corners. The driver checks the panel after every step and stops the
// program at the first broken rule, naming it.
#include "fuzz/paneldriver.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <vector>

using fuzz::PanelDriver;
using Step = PanelDriver::Step;

namespace {

// splitmix64: a fixed, portable stream for every seed.
std::vector<std::uint8_t> pseudoRandomBytes(std::uint64_t seed, std::size_t count)
{
    std::vector<std::uint8_t> bytes(count);
    std::uint64_t state = seed;
    for (std::uint8_t &byte : bytes) {
        state += 0x9e3779b97f4a7c15u;
        std::uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
        byte = static_cast<std::uint8_t>((z ^ (z >> 31)) >> 56);
    }
    return bytes;
}

// A step and its argument bytes.
QByteArray step(Step kind, std::initializer_list<int> arguments = {})
{
    QByteArray bytes(1, static_cast<char>(PanelDriver::opcode(kind)));
    for (const int argument : arguments) {
        bytes += static_cast<char>(argument);
    }
    return bytes;
}

constexpr std::size_t seededRows = 16;
constexpr std::size_t bytesPerRow = 34 * 1024;

} // namespace

class PanelFuzzTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void seeded_data();
    void seeded();
    void kept_data();
    void kept();
    void cleanupTestCase();

private:
    QString settingsFile() const { return folder.filePath(QStringLiteral("tcpad.conf")); }

    QTemporaryDir folder;
    std::size_t seededSteps = 0;
    std::size_t seededRowsRun = 0;
};

void PanelFuzzTest::initTestCase()
{
    QVERIFY(folder.isValid());
}

void PanelFuzzTest::seeded_data()
{
    QTest::addColumn<quint64>("seed");
    for (quint64 seed = 1; seed <= seededRows; ++seed) {
        QTest::addRow("seed %llu", seed) << seed;
    }
}

void PanelFuzzTest::seeded()
{
    QFETCH(quint64, seed);
    const std::vector<std::uint8_t> bytes = pseudoRandomBytes(seed, bytesPerRow);
    PanelDriver driver(settingsFile());
    const std::size_t steps = driver.run(bytes, std::numeric_limits<std::size_t>::max());
    // Short steps are the rule; a row that ran far fewer would test far less than it claims.
    QVERIFY2(steps > bytesPerRow / 4, qPrintable(QString::number(steps)));
    seededSteps += steps;
    ++seededRowsRun;
}

void PanelFuzzTest::kept_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("display"); // at the end
    QTest::addColumn<int>("registers");   // how many the panel holds at the end
    QTest::addColumn<QString>("name");    // a register to look at, or none
    QTest::addColumn<QString>("text");    // and what it must hold

    // Digit keys by their index in the driver's title list: 0-9 are the digits themselves.
    const auto digits = [](const char *keys) {
        QByteArray bytes;
        for (const char *c = keys; *c; ++c) {
            bytes += step(Step::digitKey, {*c - '0'});
        }
        return bytes;
    };
    const QByteArray seven = digits("1000000") + step(Step::equals);
    const auto row = [](const char *name, const QByteArray &bytes, const char *display,
                        int registers = 9, const char *reg = "", const char *text = "") {
        QTest::newRow(name) << bytes << QString::fromUtf8(display) << registers
                            << QString::fromLatin1(reg) << QString::fromUtf8(text);
    };

    row("empty clipboard text pasted onto an empty display",
        step(Step::commandKey, {74}) + step(Step::paste, {0}), "");
    // Texts with ';' must be quoted by hand, or the rest of the line is a comment.
    row("hand-edited store with all registers, one a quoted drop-frame text",
        step(Step::restartEdited, {0xff, 0xff, 0xff}), "", 9, "Mem-5", "00:00:00;02");
    row("hand-edited store missing registers, then a save into a missing one",
        step(Step::restartEdited, {0x15, 0, 0x04}) + step(Step::memory, {0, 3}) +
            step(Step::restart) + step(Step::memory, {1, 3}),
        "", 4, "Mem-4", "");
    // One user-perceived character longer than the display holds and the store keeps.
    row("70,000 combining marks pasted, saved into a register, restarted",
        step(Step::paste, {1, 31, 24}) + step(Step::memory, {0, 0}) + step(Step::restart) +
            step(Step::memory, {1, 0}) + step(Step::digitKey, {1}) + step(Step::digitKey, {13}),
        "");
    row("ten thousand emoji pasted, then keyed over in frame mode",
        step(Step::paste, {1, 31, 16}) + step(Step::commandKey, {6}) + step(Step::digitKey, {7}) +
            step(Step::digitKey, {13}),
        "");
    row("mixed check boxes survive a restart as off",
        step(Step::checkBoxes, {4}) + step(Step::restart), "");
    row("ten minutes at 120 DF switched to frames and back",
        step(Step::format, {13}) + seven + step(Step::commandKey, {6}) + step(Step::menu, {6}) +
            step(Step::menu, {2}),
        "00:10:00;000");
    row("subtraction past midnight in frame mode",
        step(Step::commandKey, {6}) + digits("1") + step(Step::equals) +
            step(Step::commandKey, {0}) + digits("2") + step(Step::equals),
        "2591999");
    row("near-miss titles between the keys of a sum",
        seven + step(Step::commandKey, {1}) + step(Step::commandKey, {10}) +
            step(Step::commandKey, {13}) + digits("15") + step(Step::menu, {7}) +
            step(Step::equals),
        "01:00:00:15");
    row("Ctrl and Alt keys on the panel and its display",
        seven + step(Step::pressKey, {13, 3}) + step(Step::pressKey, {5, 0x82}) +
            step(Step::pressKey, {24, 0x81}),
        "01:00:00:00");
    row("automatic paste skipped at start, then taken",
        step(Step::checkBoxes, {6}) + step(Step::paste, {2, 11, 0}) + step(Step::commandKey, {3}) +
            step(Step::automaticPaste) + step(Step::automaticPaste) + step(Step::automaticCopy),
        "01:00:00:000");
    // UTF-8 has no form for half a surrogate pair; such a register must not cost the whole save.
    row("lone surrogates pasted, saved into registers, restarted",
        step(Step::paste, {3, 1, 30, 5}) + step(Step::memory, {0, 0}) + step(Step::paste, {1, 29}) +
            step(Step::memory, {0, 1}) + step(Step::checkBoxes, {8}) + step(Step::format, {3}) +
            step(Step::restart),
        "", 9, "Mem-2", "");
    // Qt drops a byte-order mark that opens a value when it reads the file back.
    row("byte-order mark pasted, saved into a register, restarted",
        step(Step::paste, {2, 24, 2}) + step(Step::memory, {0, 7}) + step(Step::restart) +
            step(Step::memory, {1, 7}),
        "5", 9, "Mem-8", "5");
    row("save under unknown names, restart keeps the nine",
        step(Step::memory, {0, 9}) + step(Step::memory, {0, 11}) + step(Step::memory, {0, 15}) +
            step(Step::restart),
        "");
}

void PanelFuzzTest::kept()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, display);
    QFETCH(int, registers);
    QFETCH(QString, name);
    QFETCH(QString, text);

    PanelDriver driver(settingsFile());
    const std::span<const std::uint8_t> stream(
        reinterpret_cast<const std::uint8_t *>(bytes.constData()),
        static_cast<std::size_t>(bytes.size()));
    QVERIFY(driver.run(stream, std::numeric_limits<std::size_t>::max()) > 0);
    QCOMPARE(driver.panel().controls().scratchPadRegister->text(), display);
    QCOMPARE(driver.panel().registers().size(), registers);
    if (!name.isEmpty()) {
        QCOMPARE(driver.panel().registers().value(name, QStringLiteral("<missing>")), text);
    }
}

void PanelFuzzTest::cleanupTestCase()
{
    // Only a run of every seed has the length the suite promises.
    if (seededRowsRun == seededRows) {
        qInfo("%zu seeded steps", seededSteps);
        QVERIFY2(seededSteps >= 200000, qPrintable(QString::number(seededSteps)));
    }
}

QTEST_MAIN(PanelFuzzTest)
#include "tst_panelfuzz.moc"
