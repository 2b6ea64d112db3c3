// The settings store against its file, one row per situation, each on a file of its own: the
// row's act, then a save; then the store and a new store on the file must answer the row's
// values, the file must hold those settings and nothing else, and a save that changes nothing
// must leave the bytes alone.
#include "store/preferences.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fstream>
#include <sys/resource.h>

using store::Preferences;
using store::RegisterMap;
using Act = void (*)(Preferences &, const QString &path);

static const QString oddText = "a, \"b\" k=v; #x [General] \\x41 \n\r\t@Variant(x) ⏱";

class TestPreferences : public QObject
{
    Q_OBJECT

private slots:
    void rows()
    {
        const Act none = [](Preferences &, const QString &) {};
        const Act everySetting = [](Preferences &p, const QString &path) {
            Preferences other(path); // another process on the file, opened after p, saving first
            other.setDefPaste(false);
            other.setRegister("Mem-3", "other");
            QVERIFY(other.synchronize());
            p.setDefCopy(true);
            p.setDefFormat("120 DF");
            p.setRegister("Mem-1", u'\uFEFF' + oddText); // an invisible mark Qt would not keep
            p.setRegister("Mem-2", QString(Preferences::maxTextLength + 1, 'x')); // kept empty
        };
        // A disk that fills up: the save fails, the old file and the folder stay as they were.
        const Act fullDisk = [](Preferences &p, const QString &path) {
            const rlimit small{2048, RLIM_INFINITY}, unlimited{RLIM_INFINITY, RLIM_INFINITY};
            p.setRegister("Mem-1", QString(4000, 'x'));
            std::signal(SIGXFSZ, SIG_IGN);
            QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0); // a hard limit of its own would refuse
            const bool written = p.synchronize();
            setrlimit(RLIMIT_FSIZE, &unlimited);
            QVERIFY(!written && Preferences(path).defFormat() == "25"); // the old file is intact
        };
        const std::tuple<const char *, QByteArray, Act, bool, bool, QString, RegisterMap> rows[] = {
            {"first run", {}, none, false, false, "30 NDF", store::emptyRegisters()},
            {"every setting, two stores", "defPaste=true\n[defMem]\nMem-1=\nMem-2=x\nMem-3=\n",
             everySetting, true, false, "120 DF",
             RegisterMap({{"Mem-1", oddText}, {"Mem-2", ""}, {"Mem-3", "other"}})},
            {"damaged", "defCopy=yes\ndefPaste=2\ndefFormat=29.97\ndefMem=Mem-1\njunk=1\n[Gen\n",
             none, false, false, "30 NDF", store::emptyRegisters()},
            {"full disk", "defFormat=25\n[defMem]\nMem-1=\n", fullDisk, false, false, "25",
             RegisterMap({{"Mem-1", QString(4000, 'x')}})}};
        for (const auto &[name, file, act, copy, paste, format, mem] : rows) {
            const QTemporaryDir dir;
            const QString path = dir.filePath("tcpad.conf");
            QVERIFY(file.isNull() || std::ofstream(path.toStdString()) << file.constData());
            Preferences prefs(path);
            prefs.registerDefaults();
            QCOMPARE(prefs.registeredDefault(Preferences::dictationMenuKey), QVariant(true));
            QCOMPARE(prefs.registeredDefault(Preferences::characterPaletteMenuKey), QVariant(true));
            act(prefs, path);
            QVERIFY2(prefs.synchronize(), name);
            Preferences reread(path); // answers from the file alone: no defaults
            for (const Preferences *s : {&prefs, &reread}) {
                QVERIFY2(s->defCopy() == copy && s->defPaste() == paste &&
                             s->defFormat() == format && s->defMem() == mem,
                         name);
            }
            QCOMPARE(QSettings(path, QSettings::IniFormat).allKeys().size(), 3 + mem.size());
            const auto readAll = [&path] {
                QFile file(path);
                return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
            };
            const QByteArray bytes = readAll();
            QVERIFY2(!prefs.setDefFormat("30") && prefs.synchronize() && readAll() == bytes, name);
        }
    }
};

QTEST_GUILESS_MAIN(TestPreferences)
#include "tst_preferences.moc"
