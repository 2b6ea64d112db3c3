#include "store/preferences.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
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

enum class Obstacle
{
    ReadOnlyFolder,
    FullDisk,
    FolderIsAFile
};

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

    void firstRunGivesDefaultsAndWritesNothing()
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
    }

    void saveWritesOnlyWhatWasSet_data()
    {
        QTest::addColumn<bool>("setAll");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("all four set to their defaults") << true << allFourKeys;
        QTest::newRow("nothing set, defaults stay unwritten") << false << QStringList();
    }
    void saveWritesOnlyWhatWasSet()
    {
        QFETCH(bool, setAll);
        Preferences prefs(path);
        prefs.registerDefaults();
        if (setAll) {
            prefs.setDefCopy(prefs.defCopy());
            prefs.setDefPaste(prefs.defPaste());
            prefs.setDefFormat(prefs.defFormat());
            prefs.setDefMem(prefs.defMem());
        }
        QVERIFY(prefs.synchronize());
        QTEST(storedKeys(path), "keys");
        if (setAll) {
            QVERIFY(readAll(path).contains("\n[defMem]\nMem-1=\nMem-2=\n"));
        }
    }

    void settingsSurviveARestart_data()
    {
        QTest::addColumn<bool>("on");
        QTest::addColumn<QString>("text");
        const QList<std::pair<const char *, QString>> texts = {
            {"drop-frame timecode", "00:01:00;02"},
            {"empty", ""},
            {"commas and quotes", "a, \"b\", 'c',"},
            {"ini specials", "k=v; #x [General] %20 $HOME"},
            {"backslashes", "C:\\dir\\ \\x41 \\"},
            {"line ends", "a\nb\r\nc\rd\t"},
            {"leading and trailing blanks", "  padded  "},
            {"NUL before digits", QString("a") + QChar(0) + "12"},
            {"at-sign forms", "@Variant(garbage)"},
            {"emoji", "⏱ 🎬👩🏽‍💻"},
            {"right-to-left", "שלום עולם مرحبا"},
            {"longest accepted", QString(Preferences::maxTextLength, 'x')},
        };
        bool on = false;
        for (const auto &[name, text] : texts) {
            QTest::newRow(name) << (on = !on) << text;
        }
    }
    void settingsSurviveARestart()
    {
        QFETCH(bool, on);
        QFETCH(QString, text);
        {
            Preferences prefs(path);
            prefs.setDefCopy(on);
            prefs.setDefPaste(!on);
            QVERIFY(prefs.setDefFormat(text));
            RegisterMap registers = registersWith("Mem-9", text);
            registers.remove("Mem-4");
            prefs.setDefMem(registers);
            QVERIFY(prefs.synchronize());
        }
        Preferences prefs(path);
        prefs.registerDefaults();
        QCOMPARE(prefs.defCopy(), on);
        QCOMPARE(prefs.defPaste(), !on);
        QCOMPARE(prefs.defFormat(), text);
        RegisterMap expected = registersWith("Mem-9", text);
        expected.remove("Mem-4"); // taken whole: a missing register stays missing
        QCOMPARE(prefs.defMem(), expected);
    }

    void damagedFileFallsBackPerKey_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("copy");
        QTest::addColumn<bool>("paste");
        QTest::addColumn<QString>("format");
        QTest::addColumn<RegisterMap>("mem");
        const RegisterMap empty = store::emptyRegisters();
        const QByteArray huge(10 * 1024 * 1024, 'x');
        QByteArray noise(64 * 1024, 0);
        QRandomGenerator(2024).fillRange(reinterpret_cast<quint32 *>(noise.data()),
                                         noise.size() / 4);

        QTest::newRow("booleans in any case")
            << QByteArray("defCopy=TRUE\ndefPaste=False\n") << true << false << "30 NDF" << empty;
        QTest::newRow("booleans as 1 and 0")
            << QByteArray("defCopy=1\ndefPaste=0\n") << true << false << "30 NDF" << empty;
        QTest::newRow("booleans not clean") << QByteArray("defCopy=yes\ndefPaste=\"true, false\"\n")
                                            << false << false << "30 NDF" << empty;
        QTest::newRow("boolean as a group")
            << QByteArray("[defCopy]\nx=true\n") << false << false << "30 NDF" << empty;
        QTest::newRow("format as a list")
            << QByteArray("defFormat=25, 30\n") << false << false << "30 NDF" << empty;
        QTest::newRow("format as a group")
            << QByteArray("[defFormat]\ntitle=25\n") << false << false << "30 NDF" << empty;
        QTest::newRow("format as an encoded value")
            << QByteArray("defFormat=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x19)\n") << false << false
            << "30 NDF" << empty;
        QTest::newRow("registers as a plain value")
            << QByteArray("defFormat=25\ndefMem=Mem-1\n") << false << false << "25" << empty;
        // A damaged register is empty; the others keep their texts.
        QTest::newRow("register as a list")
            << QByteArray("[defMem]\nMem-1=01:00:00:00\nMem-2=a, b\n") << false << false << "30 NDF"
            << RegisterMap{{"Mem-1", "01:00:00:00"}, {"Mem-2", ""}};
        QTest::newRow("register as a group")
            << QByteArray("[defMem]\nMem-1=1\nMem-2\\x=2\n") << false << false << "30 NDF"
            << RegisterMap{{"Mem-1", "1"}, {"Mem-2", ""}};
        QTest::newRow("register of 10 MB")
            << "[defMem]\nMem-1=1\nMem-2=" + huge + "\n"
            << false << false << "30 NDF" << RegisterMap{{"Mem-1", "1"}, {"Mem-2", ""}};
        QTest::newRow("registers missing and extra")
            << QByteArray("[defMem]\nMem-2=01:00:00:00\nMem-10=x\nmem-3=y\n") << false << false
            << "30 NDF" << RegisterMap{{"Mem-2", "01:00:00:00"}};
        QTest::newRow("unparsable lines around good ones")
            << QByteArray("[General\n=\ngarbage\n[General]\ndefPaste=true\ndefFormat=24\n[[[\n")
            << false << true << "24" << empty;
        QTest::newRow("random bytes") << noise << false << false << "30 NDF" << empty;
        QTest::newRow("10 MB of junk beside good values")
            << "defFormat=50\njunk=" + huge + "\n[defMem]\nMem-1=7\n"
            << false << false << "50" << RegisterMap{{"Mem-1", "7"}};
    }
    void damagedFileFallsBackPerKey()
    {
        QFETCH(QByteArray, file);
        QFETCH(RegisterMap, mem);
        writeAll(path, file);
        for (int run = 0; run < 2; ++run) { // as found, then as rewritten by a save
            Preferences prefs(path);
            prefs.registerDefaults();
            QTEST(prefs.defCopy(), "copy");
            QTEST(prefs.defPaste(), "paste");
            QTEST(prefs.defFormat(), "format");
            QCOMPARE(prefs.defMem(), mem);
            QVERIFY(prefs.synchronize());
        }
        const QByteArray clean = readAll(path);
        QVERIFY2(clean.size() < 1024, clean.left(200).constData());
        for (const QString &key : storedKeys(path)) {
            QVERIFY2(allFourKeys.contains(key), qPrintable(key));
        }
    }

    void overlongRegisterCostsOnlyItself()
    {
        Preferences prefs(path);
        RegisterMap registers = registersWith("Mem-3", "00:00:01:00");
        registers["Mem-4"] = QString(Preferences::maxTextLength + 1, 'x');
        prefs.setDefMem(registers);
        QVERIFY(prefs.synchronize());
        registers["Mem-4"].clear();
        QCOMPARE(Preferences(path).defMem(), registers);
    }

    void formatOrFallsBackOutsideTheList_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("listed title") << "25"
                                      << "25";
        QTest::newRow("unlisted title") << "31 DF"
                                        << "30 NDF";
    }
    void formatOrFallsBackOutsideTheList()
    {
        QFETCH(QString, stored);
        Preferences prefs(path);
        prefs.registerDefaults();
        prefs.setDefFormat(stored);
        QTEST(prefs.formatOr({"24", "25", "30 NDF", "30 DF"}), "expected");
    }

    void failedSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<Obstacle>("obstacle");
        QTest::newRow("read-only folder") << Obstacle::ReadOnlyFolder;
        QTest::newRow("full disk") << Obstacle::FullDisk;
        QTest::newRow("folder is a file") << Obstacle::FolderIsAFile;
    }
    void failedSaveKeepsTheOldFile()
    {
        QFETCH(Obstacle, obstacle);
        if (obstacle == Obstacle::ReadOnlyFolder && geteuid() == 0) {
            QSKIP("permissions do not stop root; the full-disk row covers the same path");
        }
        QString folder = QFileInfo(path).absolutePath();
        QString watched = path; // what must come through untouched
        if (obstacle == Obstacle::FolderIsAFile) {
            watched = folder + ".blocker";
            writeAll(watched, "x");
            path = watched + "/tcpad.conf";
            folder = QFileInfo(watched).absolutePath();
        } else {
            Preferences prefs(path);
            prefs.setDefFormat("25");
            QVERIFY(prefs.synchronize());
        }
        const QByteArray old = readAll(watched);
        const QStringList oldEntries = QDir(folder).entryList(QDir::Files | QDir::Hidden);

        Preferences prefs(path);
        const RegisterMap big = registersWith("Mem-1", QString(4000, 'x'));
        prefs.setDefMem(big);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        if (obstacle == Obstacle::ReadOnlyFolder) {
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        } else if (obstacle == Obstacle::FullDisk) {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit small = saved;
            small.rlim_cur = 2048;
            setrlimit(RLIMIT_FSIZE, &small);
        }
        const bool saved1 = prefs.synchronize();
        setrlimit(RLIMIT_FSIZE, &saved);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QVERIFY(!saved1);
        QCOMPARE(readAll(watched), old);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), oldEntries);
        QCOMPARE(prefs.defMem(), big);
        if (obstacle != Obstacle::FolderIsAFile) {
            QVERIFY(prefs.synchronize()); // once the obstacle is gone, the same store saves
            QCOMPARE(Preferences(path).defMem(), big);
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
