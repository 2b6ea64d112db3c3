// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The desktop's clipboard on a real X server, read from owners of the suite's own (clipowner.c).
// e2e.sh runs it on its private desktop.
#include "app/desktopclipboard.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class DesktopClipboardTest : public QObject
{
    Q_OBJECT

    QTemporaryDir work;
    QProcess owner;
    // One for every row, so that each paste follows the one before.
    app::DesktopClipboard clipboard;

private slots:
    void cleanup()
    {
        owner.kill();
        owner.waitForFinished();
    }

    // A paste that a newer one replaces at once is never answered, and the newer one once, in
    // time: with the text by the type of the owner's reply, whatever was asked for (STRING is
    // Latin-1, COMPOUND_TEXT and the rest are none); with none at once when the owner goes in the
    // middle of a transfer; and within the one deadline of 500 ms when the paste tries X after a
    // compositor that never answers.
    void answersOnceInTime_data()
    {
        QTest::addColumn<QStringList>("mode");
        QTest::addColumn<QByteArray>("ownerText");
        QTest::addColumn<bool>("hungCompositor");
        QTest::addColumn<QString>("expected"); // null for none
        QTest::addColumn<int>("withinMs");
        QTest::newRow("an owner gone mid-transfer")
            << QStringList{"vanish", "4"} << QByteArray("00:00:01:00") << false << QString() << 100;
        QTest::newRow("STRING to a request for UTF8_STRING")
            << QStringList{"as", "STRING"} << QByteArray("00:00:01:00\xe9") << false
            << "00:00:01:00é" << 550;
        QTest::newRow("STRING only")
            << QStringList{"latin1"} << QByteArray("\xe9") << false << "é" << 550;
        QTest::newRow("COMPOUND_TEXT")
            << QStringList{"as", "COMPOUND_TEXT"} << QByteArray("12") << false << QString() << 550;
        QTest::newRow("hung compositor, answering owner")
            << QStringList{"as", "UTF8_STRING"} << QByteArray("12") << true << "12" << 550;
        QTest::newRow("hung compositor, silent owner")
            << QStringList{"silent"} << QByteArray("12") << true << QString() << 550;
    }
    void answersOnceInTime()
    {
        QFETCH(QStringList, mode);
        QFETCH(QByteArray, ownerText);
        QFETCH(bool, hungCompositor);
        QFETCH(QString, expected);
        QFETCH(int, withinMs);
        QFile file(work.filePath("text"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(ownerText) == ownerText.size());
        file.close();
        owner.start(QCoreApplication::applicationDirPath() + "/tcpad-e2e-clipowner",
                    mode << file.fileName());
        QVERIFY(owner.waitForReadyRead(10000) && owner.readLine() == "owned\n");
        QLocalServer compositor;
        if (hungCompositor) {
            QVERIFY(compositor.listen(work.filePath("wayland")));
            qputenv("WAYLAND_DISPLAY", QFile::encodeName(compositor.fullServerName()));
        }
        app::DesktopClipboard behindCompositor;
        qunsetenv("WAYLAND_DISPLAY");
        app::DesktopClipboard &pasteboard = hungCompositor ? behindCompositor : clipboard;

        int replaced = 0, answers = 0;
        std::optional<QString> text;
        qint64 took = -1;
        QElapsedTimer clock;
        pasteboard.requestString([&](const std::optional<QString> &) { ++replaced; });
        clock.start();
        pasteboard.requestString([&](const std::optional<QString> &answer) {
            ++answers;
            text = answer;
            took = clock.elapsed();
        });
        QTest::qWait(1000);
        QVERIFY(replaced == 0 && answers == 1);
        QCOMPARE(text.value_or(QString()), expected);
        QCOMPARE(text.has_value(), !expected.isNull());
        QVERIFY2(took < withinMs, qPrintable(QString("after %1 ms").arg(took)));
    }
};

QTEST_MAIN(DesktopClipboardTest)
#include "tst_desktopclipboard.moc"
