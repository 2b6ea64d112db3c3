// What the shown window offers beyond its behaviour: names a screen reader can speak, text that
// stays legible in light and dark palettes, digits that do not jump, and a layout that survives
// resizing.
#include "app/windowcontroller.h"
#include "darkpalette.h"
#include "panel/viewcontroller.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {

QString accessibleText(QWidget *widget, QAccessible::Text kind)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(kind) : QString();
}

// Contrast ratio of two colours by relative luminance, as used for judging text legibility.
double contrast(QRgb a, QRgb b)
{
    const auto luminance = [](QRgb colour) {
        const auto channel = [](int value) {
            const double c = value / 255.0;
            return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(qRed(colour)) + 0.7152 * channel(qGreen(colour)) +
               0.0722 * channel(qBlue(colour)) + 0.05;
    };
    return std::max(luminance(a), luminance(b)) / std::min(luminance(a), luminance(b));
}

// The contrast of a widget's text as painted: the commonest colour of its inner part is taken as
// the background, the pixel that differs most from it as the text. Painting is measured rather
// than the palette read, so a colour forced by a style sheet or by code is caught too.
double paintedTextContrast(QWidget *widget)
{
    const QRect r = widget->rect();
    const QImage image =
        widget->grab(r.adjusted(r.width() / 8, r.height() / 5, -r.width() / 8, -r.height() / 5))
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ++counts[image.pixel(x, y)];
        }
    }
    const QRgb background =
        std::max_element(counts.keyValueBegin(), counts.keyValueEnd(), [](auto a, auto b) {
            return a.second < b.second;
        })->first;
    double best = 1.0;
    for (const QRgb colour : counts.keys()) {
        best = std::max(best, contrast(background, colour));
    }
    return best;
}

} // namespace

class AppearanceTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<app::WindowController> window;
    QPalette originalPalette;

    const Ui::ViewController &controls() const { return window->viewController()->controls(); }

private slots:
    void init()
    {
        originalPalette = QApplication::palette();
        window = std::make_unique<app::WindowController>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup()
    {
        window.reset();
        QApplication::setPalette(originalPalette);
    }

    void everyControlHasADistinctSpokenName()
    {
        QHash<QString, QString> owners;
        for (QWidget *control : window->findChildren<QWidget *>()) {
            // Hidden controls, such as the menu bar's overflow arrow, are not read out.
            if ((!qobject_cast<QAbstractButton *>(control) && !qobject_cast<QComboBox *>(control) &&
                 !qobject_cast<QLineEdit *>(control)) ||
                !control->isVisibleTo(window.get())) {
                continue;
            }
            const QString name = accessibleText(control, QAccessible::Name);
            const QByteArray what = (control->objectName() + QStringLiteral(": ") + name).toUtf8();
            QVERIFY2(!name.trimmed().isEmpty(), what);
            QVERIFY2(!accessibleText(control, QAccessible::Description).trimmed().isEmpty(), what);
            QVERIFY2(!owners.contains(name.toCaseFolded()), what + " twice");
            owners.insert(name.toCaseFolded(), control->objectName());
            // A screen reader speaks "<" as "less than" and "00" as "zero zero": a key whose title
            // is not a single digit needs a name in words.
            const auto *key = qobject_cast<QPushButton *>(control);
            if (key && (key->text().size() != 1 || !key->text().at(0).isDigit())) {
                QVERIFY2(name.contains(QRegularExpression(QStringLiteral("[a-z]{3}"))), what);
            }
        }
        QVERIFY(owners.size() >= 23); // the nineteen keys, two check boxes, list and display
    }

    // The desktop switching between light and dark while the window is open, so colours derived
    // when the window was built would show up here.
    void textIsLegible_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light to dark") << true;
        QTest::newRow("dark to light") << false;
    }
    void textIsLegible()
    {
        QFETCH(bool, dark);
        const QPalette light = QApplication::style()->standardPalette();
        QApplication::setPalette(dark ? light : testsupport::darkPalette());
        QApplication::processEvents();
        QApplication::setPalette(dark ? testsupport::darkPalette() : light);
        QApplication::processEvents();
        panel::ViewController *panel = window->viewController();
        for (const char *digit : {"1", "0", "0", "0", "0", "0", "0"}) {
            panel->enteredKeyNum(QLatin1String(digit));
        }
        panel->enteredKey(QStringLiteral("+"));
        panel->enteredKeyNum(QStringLiteral("8"));
        for (const char *name : {"scratchPadRegister", "sign", "timecodeOrFrame", "buttonPlus",
                                 "buttonEquals", "button7", "buttonAC", "checkboxCopy"}) {
            QWidget *target = panel->findChild<QWidget *>(QLatin1String(name));
            QVERIFY(target);
            const double ratio = paintedTextContrast(target);
            QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("%1 contrast %2:1")
                                                  .arg(QLatin1String(name))
                                                  .arg(ratio, 0, 'f', 2)));
        }
    }

    void displayDigitsKeepTheirWidth()
    {
        const QFontMetricsF metrics(controls().scratchPadRegister->font());
        // Colon and semicolon too: switching to drop-frame counting must not shift the digits.
        for (const QChar c : QStringLiteral("123456789:;")) {
            QCOMPARE(metrics.horizontalAdvance(c), metrics.horizontalAdvance(QLatin1Char('0')));
        }
        QVERIFY(metrics.height() >
                QFontMetricsF(controls().timecodeOrFrame->font()).height() * 1.4);
    }

    void keysStayAGridWhenResized()
    {
        const Ui::ViewController &ui = controls();
        const QList<QList<QPushButton *>> rows = {
            {ui.buttonRC, ui.buttonAC, ui.buttonC, ui.buttonBS},
            {ui.button7, ui.button8, ui.button9, ui.buttonMinus},
            {ui.button4, ui.button5, ui.button6, ui.buttonPlus},
            {ui.button1, ui.button2, ui.button3},
            {ui.button0, ui.buttonPeriod, ui.buttonTF},
        };
        QLineEdit *display = ui.scratchPadRegister;
        display->setText(QStringLiteral("23:59:59;119")); // the longest value shown
        for (const QSize size : {QSize(1, 1), QSize(900, 700), QSize(900, 1)}) {
            window->resize(size);
            QApplication::processEvents();
            window->layout()->activate();
            const QByteArray at =
                QByteArray::number(window->width()) + 'x' + QByteArray::number(window->height());
            QVERIFY2(window->width() >= window->minimumSizeHint().width() &&
                         window->height() >= window->minimumSizeHint().height(),
                     at);
            // QLineEdit keeps a frame and two pixels on each side clear of text.
            const int frame =
                display->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, display);
            QVERIFY2(display->fontMetrics().horizontalAdvance(display->text()) <=
                         display->contentsRect().width() - 2 * frame - 4,
                     at);
            // One size for every key but equals (give or take the pixel a layout hands out),
            // rows and columns aligned, equals spanning the last two rows.
            const QSize keySize = ui.button5->size();
            for (const auto &row : rows) {
                for (int column = 0; column < row.size(); ++column) {
                    QPushButton *key = row[column];
                    QVERIFY2(std::abs(key->width() - keySize.width()) <= 1 &&
                                 std::abs(key->height() - keySize.height()) <= 1 &&
                                 key->y() == row.first()->y() &&
                                 key->x() == rows.first()[column]->x() &&
                                 key->fontMetrics().horizontalAdvance(key->text()) < key->width(),
                             at + ' ' + key->objectName().toLatin1());
                }
            }
            QCOMPARE(ui.buttonEquals->x(), ui.buttonPlus->x());
            QCOMPARE(ui.buttonEquals->y(), ui.button3->y());
            QCOMPARE(ui.buttonEquals->geometry().bottom(), ui.button0->geometry().bottom());
        }
    }
};

QTEST_MAIN(AppearanceTest)
#include "tst_appearance.moc"
