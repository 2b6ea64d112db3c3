#include "store/preferences.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

using store::Preferences;
using store::RegisterMap;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QStringList storedKeys(const QString &path)
{
    QStringList keys = QSettings(path, QSettings::NativeFormat).allKeys();
    keys.sort();
    return keys;
}

const QStringList allFourKeys = {"defCopy",      "defFormat",    "defMem/Mem-1", "defMem/Mem-2",
                                 "defMem/Mem-3", "defMem/Mem-4", "defMem/Mem-5", "defMem/Mem-6",
                                 "defMem/Mem-7", "defMem/Mem-8", "defMem/Mem-9", "defPaste"};

RegisterMap registersWith(const QString &name, const QString &text)
{
    RegisterMap registers = store::emptyRegisters();
    registers.insert(name, text);
    return registers;
}

} // namespace

class TestPreferences : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString path;
    int row = 0;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        // Before any QSettings use: the standard store resolves its folder once per process.
        qputenv("XDG_CONFIG_HOME", dir.filePath("xdg").toUtf8());
    }
    // A fresh file for every row, so no row sees what another one left behind.
    void init() { path = dir.filePath(QString("row%1/tcpad/tcpad.conf").arg(++row)); }

    void defaultsAnswerUntilTheFirstWrite()
    {
        Preferences prefs(path);
        prefs.registerDefaults();
        QCOMPARE(prefs.defCopy(), false);
        QCOMPARE(prefs.defPaste(), false);
        QCOMPARE(prefs.defFormat(), "30 NDF");
        QCOMPARE(prefs.defMem(), store::emptyRegisters());
        QCOMPARE(prefs.registeredDefault(Preferences::dictationMenuKey), QVariant(true));
        QCOMPARE(prefs.registeredDefault(Preferences::characterPaletteMenuKey), QVariant(true));
        QVERIFY(!QFileInfo::exists(QFileInfo(path).absolutePath()));
        // A first write, even with nothing changed, leaves all four settings and nothing else.
        QVERIFY(prefs.synchronize());
        QCOMPARE(storedKeys(path), allFourKeys);
        QVERIFY(readAll(path).contains("\n[defMem]\nMem-1=\nMem-2=\n"));
    }

    // Two tcpad processes on one file: each write applies only what its own store changed, onto
    // the file as it stands, so neither undoes what the other saved; an end-of-run write with
    // nothing changed keeps everything.
    void twoStoresShareOneFile()
    {
        Preferences first(path);
        Preferences second(path);
        first.registerDefaults();
        second.registerDefaults();
        first.setRegister("Mem-1", "from the first");
        QVERIFY(first.synchronize());
        second.setDefCopy(true);
        second.setRegister("Mem-2", "from the second");
        QVERIFY(second.synchronize());
        first.setDefFormat("25");
        QVERIFY(first.synchronize());
        QVERIFY(second.synchronize());
        QVERIFY(first.synchronize());

        Preferences reader(path);
        QCOMPARE(reader.defCopy(), true);
        QCOMPARE(reader.defFormat(), "25");
        RegisterMap expected = registersWith("Mem-1", "from the first");
        expected["Mem-2"] = "from the second";
        QCOMPARE(reader.defMem(), expected);
    }

    void settingsSurviveARestart_data()
    {
        QTest::addColumn<bool>("on");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("format");
        const QList<std::pair<const char *, QString>> texts = {
            {"drop-frame timecode", "00:01:00;02"},
            {"empty", ""},
            {"commas and quotes", "a, \"b\", 'c',"},
            {"ini syntax characters", "k=v; #x [General] %20 $HOME"},
            {"backslashes", "C:\\dir\\ \\x41 \\"},
            {"line ends", "a\nb\r\nc\rd\t"},
            {"leading and trailing blanks", "  padded  "},
            {"NUL before digits", QString("a") + QChar(0) + "12"},
            {"at-sign forms", "@Variant(garbage)"},
            {"emoji", "⏱ 🎬👩🏽‍💻"},
            {"longest accepted", QString(Preferences::maxTextLength, 'x')},
        };
        const QStringList formats = {"120 DF", "25", "16", "60 NDF"};
        int row = 0;
        for (const auto &[name, text] : texts) {
            QTest::newRow(name) << (row % 2 == 0) << text << formats[row % formats.size()];
            ++row;
        }
    }
    void settingsSurviveARestart()
    {
        QFETCH(bool, on);
        QFETCH(QString, text);
        QFETCH(QString, format);
        RegisterMap registers = registersWith("Mem-9", text);
        registers.remove("Mem-4"); // taken whole: a missing register stays missing
        // A register too long to keep costs only itself.
        registers["Mem-3"] = QString(Preferences::maxTextLength + 1, 'x');
        {
            Preferences prefs(path);
            prefs.setDefCopy(on);
            prefs.setDefPaste(!on);
            QVERIFY(!prefs.setDefFormat(text)); // no title of the format list
            QVERIFY(prefs.setDefFormat(format));
            prefs.setDefMem(registers);
            QVERIFY(prefs.synchronize());
        }
        registers["Mem-3"].clear();
        Preferences prefs(path);
        prefs.registerDefaults();
        QCOMPARE(prefs.defCopy(), on);
        QCOMPARE(prefs.defPaste(), !on);
        QCOMPARE(prefs.defFormat(), format);
        QCOMPARE(prefs.defMem(), registers);
    }

    void damagedFileFallsBackPerKey_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("copy");
        QTest::addColumn<bool>("paste");
        QTest::addColumn<QString>("format");
        QTest::addColumn<RegisterMap>("mem");
        const auto row = [](const char *name, const QByteArray &file, bool copy, bool paste,
                            const char *format = "30 NDF",
                            const RegisterMap &mem = store::emptyRegisters()) {
            QTest::newRow(name) << file << copy << paste << QString(format) << mem;
        };
        const QByteArray huge(10 * 1024 * 1024, 'x');
        QByteArray noise(64 * 1024, 0);
        QRandomGenerator(2024).fillRange(reinterpret_cast<quint32 *>(noise.data()),
                                         noise.size() / 4);
        row("booleans in any case", "defCopy=TRUE\ndefPaste=False\n", true, false);
        row("booleans not clean", "defCopy=yes\ndefPaste=\"true, false\"\n", false, false);
        row("boolean as a group", "[defCopy]\nx=true\n", false, false);
        row("format as a list", "defFormat=25, 30\n", false, false);
        row("format as a group", "[defFormat]\ntitle=25\n", false, false);
        row("format no title of the list", "defFormat=29.97 DF\n", false, false);
        row("format as an encoded value", "defFormat=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x19)\n",
            false, false);
        row("registers as a plain value", "defFormat=25\ndefMem=Mem-1\n", false, false, "25");
        // A damaged register is empty; the others keep their texts.
        row("register as a list", "[defMem]\nMem-1=01:00:00:00\nMem-2=a, b\n", false, false,
            "30 NDF", {{"Mem-1", "01:00:00:00"}, {"Mem-2", ""}});
        row("register as a group", "[defMem]\nMem-1=1\nMem-2\\x=2\n", false, false, "30 NDF",
            {{"Mem-1", "1"}, {"Mem-2", ""}});
        row("register of 10 MB", "[defMem]\nMem-1=1\nMem-2=" + huge + "\n", false, false, "30 NDF",
            {{"Mem-1", "1"}, {"Mem-2", ""}});
        row("registers missing and extra", "[defMem]\nMem-2=01:00:00:00\nMem-10=x\nmem-3=y\n",
            false, false, "30 NDF", {{"Mem-2", "01:00:00:00"}});
        row("unparsable lines around good ones",
            "[General\n=\ngarbage\n[General]\ndefPaste=true\ndefFormat=24\n[[[\n", false, true,
            "24");
        row("random bytes", noise, false, false);
        row("10 MB of junk beside good values",
            "defFormat=50\njunk=" + huge + "\n[defMem]\nMem-1=7\n", false, false, "50",
            {{"Mem-1", "7"}});
    }
    void damagedFileFallsBackPerKey()
    {
        QFETCH(QByteArray, file);
        writeAll(path, file);
        for (int run = 0; run < 2; ++run) { // as found, then as rewritten by a save
            Preferences prefs(path);
            prefs.registerDefaults();
            QTEST(prefs.defCopy(), "copy");
            QTEST(prefs.defPaste(), "paste");
            QTEST(prefs.defFormat(), "format");
            QTEST(prefs.defMem(), "mem");
            QVERIFY(prefs.synchronize());
        }
        const QByteArray clean = readAll(path);
        QVERIFY2(clean.size() < 1024, clean.left(200).constData());
        for (const QString &key : storedKeys(path)) {
            QVERIFY2(allFourKeys.contains(key), qPrintable(key));
        }
    }

    // A save that cannot complete, because the disk is full, the folder cannot be made or another
    // process holds the file's lock for too long, reports failure and leaves the old file and the
    // folder as they were; the change waits for the next save.
    void failedSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("full disk") << "full disk";
        QTest::newRow("folder is a file") << "folder is a file";
        QTest::newRow("lock held elsewhere") << "lock";
    }
    void failedSaveKeepsTheOldFile()
    {
        QFETCH(QString, obstacle);
        QString folder = QFileInfo(path).absolutePath();
        QString watched = path; // what must come through untouched
        if (obstacle == "folder is a file") {
            watched = folder + ".blocker";
            writeAll(watched, "x");
            path = watched + "/tcpad.conf";
            folder = QFileInfo(watched).absolutePath();
        } else {
            Preferences prefs(path);
            prefs.setDefFormat("25");
            QVERIFY(prefs.synchronize());
        }
        // Another process's lock on the folder, as a lock of another open file description.
        const int otherProcess = ::open(QFile::encodeName(folder).constData(), O_RDONLY);
        if (obstacle == "lock") {
            QCOMPARE(::flock(otherProcess, LOCK_EX | LOCK_NB), 0);
        }
        const QByteArray old = readAll(watched);
        const QStringList oldEntries = QDir(folder).entryList(QDir::Files | QDir::Hidden);

        Preferences prefs(path);
        const RegisterMap big = registersWith("Mem-1", QString(4000, 'x'));
        prefs.setDefMem(big);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        if (obstacle == "full disk") {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit small = saved;
            small.rlim_cur = 2048;
            setrlimit(RLIMIT_FSIZE, &small);
        }
        const bool written = prefs.synchronize();
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!written);
        QCOMPARE(readAll(watched), old);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), oldEntries);
        QCOMPARE(prefs.defMem(), big);
        if (obstacle != "folder is a file") {
            ::close(otherProcess);
            QVERIFY(prefs.synchronize()); // once the way is clear, the same change is written
            QCOMPARE(Preferences(path).defMem(), big);
            QCOMPARE(Preferences(path).defFormat(), "25");
        }
    }

    void standardStoreLivesUnderTheConfigFolder()
    {
        const QString expected = dir.filePath("xdg/tcpad/tcpad.conf");
        {
            Preferences prefs;
            QCOMPARE(prefs.fileName(), expected);
            prefs.setDefCopy(true);
            QVERIFY(prefs.synchronize());
        }
        QVERIFY(QFileInfo::exists(expected));
        QCOMPARE(Preferences().defCopy(), true);
    }
};

QTEST_GUILESS_MAIN(TestPreferences)
#include "tst_preferences.moc"
