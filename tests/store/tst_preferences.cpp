// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The settings store against its file, one row per situation, each on a file of its own: the
// row's act, then a save; then the store and a new store on the file must answer the row's
// values, and the file must hold those settings and nothing else. That a save changing nothing
// leaves the file's bytes alone is the panel test's and the settings fuzzer's to show. And, judged
// by Qt's own reader, no value in binary form reaches it, and nothing else is changed.
#include "store/binaryvalues.h"
#include "store/preferences.h"

#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

using store::Preferences;
using store::RegisterMap;
using Act = void (*)(Preferences &);

// Texts Qt writes in forms of its own: escaped, quoted, with a doubled '@' and, for the one with a
// null character, as "@String(...)".
static const QString oddText = "@DateTime(x) a, \"b\" k=v; #x [General] \\x41 \n\r\t⏱";
static const QString longest = QString(Preferences::maxTextLength - 1, 'y') + QChar();

class TestPreferences : public QObject
{
    Q_OBJECT

private slots:
    void rows()
    {
        const Act none = [](Preferences &) {};
        const Act everySetting = [](Preferences &p) {
            // Another process saves first: its paste box and register must survive p's save.
            std::ofstream(p.fileName().toStdString()) << "defPaste=false\n[defMem]\nMem-3=new\n";
            p.setDefCopy(true);
            p.setDefTape(true);
            p.setDefRealTime(true);
            p.setDefFractionalRate(false);
            QVERIFY(!p.setDefFormat("30") && p.setDefFormat("120 DF"));
            // An invisible mark Qt would not keep, a text one past the longest kept, kept as
            // empty, and the longest.
            p.setDefMem(
                {{"Mem-1", u'\uFEFF' + oddText}, {"Mem-2", longest + 'x'}, {"Mem-4", longest}});
        };
        // A disk that fills up: the save fails, and the old file stays whole.
        const Act fullDisk = [](Preferences &p) {
            const rlimit small{2048, RLIM_INFINITY}, unlimited{RLIM_INFINITY, RLIM_INFINITY};
            // Past the limit, and kept for the next save.
            p.setRegister("Mem-1", QString(4000, 'x'));
            std::signal(SIGXFSZ, SIG_IGN);
            QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0); // a hard limit of its own would refuse
            const bool written = p.synchronize();
            setrlimit(RLIMIT_FSIZE, &unlimited);
            QVERIFY(!written && Preferences(p.fileName()).defMem().value("Mem-1").isEmpty());
        };
        // The check boxes, the tape, the real-time line and the 1000/1001 rate as 0 and 1: copy,
        // paste, tape, line, rate.
        const std::tuple<const char *, QByteArray, Act, QString, QString, RegisterMap> rows[] = {
            {"first run", {}, none, "00001", "30 NDF", store::emptyRegisters()},
            {"every setting", "defPaste=true\n", everySetting, "10110", "120 DF",
             RegisterMap(
                 {{"Mem-1", oddText}, {"Mem-2", ""}, {"Mem-3", "new"}, {"Mem-4", longest}})},
            {"damaged",
             "defCopy=yes\ndefPaste=2\ndefFormat=29.97\ndefMem=Mem-1\n"
             "defTape=shown\ndefRealTime=on\ndefFractionalRate=no\njunk=1\n[Gen\n",
             none, "00001", "30 NDF", store::emptyRegisters()},
            // Values in Qt's binary form are damage, whatever they hold: a damaged one could claim
            // gigabytes, or minutes of Qt's time. A register with a mark Qt would not read back
            // after the control character it writes escaped: dropped, or no save would ever
            // succeed.
            {"binary forms",
             "defCopy=@Variant(\\0\\0\\0\\x1\\x1)\ndefRealTime=true\n[defMem]\n"
             "Mem-7=\x03\xef\xbb\xbfx\nMem-8=@Variant(\\0\\0\\0\\n\\0\\0\\0\\x2\\0x)\n",
             none, "00011", "30 NDF", RegisterMap({{"Mem-7", "\x03x"}, {"Mem-8", ""}})},
            {"full disk",
             "defFormat=25\ndefTape=1\ndefRealTime=TRUE\ndefFractionalRate=0\n[defMem]\nMem-1=\n",
             fullDisk, "00110", "25", RegisterMap({{"Mem-1", QString(4000, 'x')}})}};
        for (const auto &[name, file, act, boxes, format, mem] : rows) {
            const QTemporaryDir dir;
            const QString path = dir.filePath("tcpad.conf");
            QVERIFY(file.isNull() || std::ofstream(path.toStdString()) << file.constData());
            Preferences prefs(path);
            prefs.registerDefaults();
            QCOMPARE(prefs.registeredDefault(Preferences::dictationMenuKey), QVariant(true));
            QCOMPARE(prefs.registeredDefault(Preferences::characterPaletteMenuKey), QVariant(true));
            act(prefs);
            QVERIFY2(prefs.synchronize(), name);
            Preferences reread(path); // answers from the file alone: no defaults
            for (const Preferences *s : {&prefs, &reread}) {
                QCOMPARE(QString::asprintf("%d%d%d%d%d", s->defCopy(), s->defPaste(), s->defTape(),
                                           s->defRealTime(), s->defFractionalRate()),
                         boxes);
                QVERIFY2(s->defFormat() == format && s->defMem() == mem, name);
            }
            QCOMPARE(QSettings(path, QSettings::IniFormat).allKeys().size(), 6 + mem.size());
        }
        // A settings folder that cannot be made, a file standing in its place: no save.
        const QTemporaryDir dir;
        QVERIFY(std::ofstream(dir.filePath("tcpad").toStdString()) << "x");
        QVERIFY(!Preferences(dir.filePath("tcpad/tcpad.conf")).synchronize());
        // Another writer that holds the folder and does not let go: this save gives up, and the
        // change waits for the next one.
        const QString path = dir.filePath("tcpad.conf");
        Preferences held(path);
        held.setDefTape(true);
        const int folder = ::open(QFile::encodeName(dir.path()).constData(), O_RDONLY);
        QVERIFY(folder >= 0 && ::flock(folder, LOCK_EX) == 0);
        QVERIFY(!held.synchronize() && !QFile::exists(path));
        ::close(folder);
        QVERIFY(held.synchronize() && Preferences(path).defTape());
    }

    void binaryFormsNeverReachQt()
    {
        const QByteArray yes = "(\\0\\0\\0\\x1\\x1)"; // true, in binary form
        // Escaped (after an 'x' with no digits), with a hexadecimal run that wraps around, quoted,
        // carried over a line, as an entry of a list, before a comment, after a quoted line end,
        // after a comment and a line that ends in an escape: Qt reads every one of them.
        const QByteArray disguised[] = {"@Variant" + yes,
                                        "\"\\x@Var\\151ant" + yes + '"',
                                        "\\x040V\\x61r\\x69\\x61\\x6Et" + yes,
                                        "\\xfa0040Variant" + yes,
                                        " \"@Var\" \"iant" + yes + '"',
                                        "@Vari\\\r\nant" + yes,
                                        "@Vari\\\nant" + yes,
                                        "x, @Variant" + yes + ", y",
                                        "@Variant" + yes + " ;c",
                                        "\"x;\n\", @Variant" + yes,
                                        "@DateTi\\x6d\\x65(\\0\\0\\0\\x10\\0)"};
        // A comment, texts as Qt writes them and a section's name, which Qt never decodes.
        const QByteArray plain = ";c=@Variant" + yes + "\na=@@Variant" + yes + "\nb=\\\\@Variant" +
                                 yes + "\nc=\" @Variant" + yes + "\"\nd=\"a, @Variant" + yes +
                                 "\"\ne=@String(\\0)\n [s=@Variant" + yes + "]\n";
        QByteArray file = ";c\nf=\\t\n"; // a comment, an escape at a line's end
        for (const QByteArray &value : disguised) {
            file += "k" + QByteArray::number(&value - disguised) + '=' + value + '\n';
        }
        const QByteArray filtered = store::withoutBinaryValues(file + plain);
        QVERIFY(filtered.endsWith(plain));
        const QTemporaryDir dir;
        QVERIFY(std::ofstream(dir.filePath("raw.ini").toStdString()) << file.constData());
        QVERIFY(std::ofstream(dir.filePath("read.ini").toStdString()) << filtered.constData());
        const QSettings raw(dir.filePath("raw.ini"), QSettings::IniFormat);
        const QSettings read(dir.filePath("read.ini"), QSettings::IniFormat);
        for (const QByteArray &value : disguised) {
            const QString key = "k" + QString::number(&value - disguised);
            QVERIFY2(raw.value(key).isValid() && !read.value(key).isValid(), value);
        }
    }
};

QTEST_GUILESS_MAIN(TestPreferences)
#include "tst_preferences.moc"
