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

// Relative luminance and contrast ratio as used for judging text legibility on screens.
double luminance(QRgb colour)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(colour)) + 0.7152 * channel(qGreen(colour)) +
           0.0722 * channel(qBlue(colour));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of a widget's text as painted: the commonest colour of its inner part is taken as
// the background, the pixel that differs most from it as the text. Painting is measured rather
// than the palette read, so a colour forced by a style sheet or by code is caught too.
double paintedTextContrast(QWidget *widget)
{
    const QRect rect = widget->rect();
    const QRect inner =
        rect.adjusted(rect.width() / 8, rect.height() / 5, -rect.width() / 8, -rect.height() / 5);
    const QImage image = widget->grab(inner).toImage().convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ++counts[image.pixel(x, y)];
        }
    }
    QRgb background = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    }
    double best = 1.0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        best = std::max(best, contrast(background, it.key()));
    }
    return best;
}

} // namespace

class AppearanceTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void everyControlHasASpokenName();
    void symbolKeysAreSpelledOut();
    void textIsLegible_data();
    void textIsLegible();
    void displayDigitsKeepTheirWidth();
    void layoutHolds_data();
    void layoutHolds();

private:
    void showWindow();
    const Ui::ViewController &controls() const { return window->viewController()->controls(); }

    std::unique_ptr<app::WindowController> window;
    QPalette originalPalette;
};

void AppearanceTest::init()
{
    originalPalette = QApplication::palette();
}

void AppearanceTest::cleanup()
{
    window.reset();
    QApplication::setPalette(originalPalette);
}

void AppearanceTest::showWindow()
{
    window = std::make_unique<app::WindowController>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void AppearanceTest::everyControlHasASpokenName()
{
    showWindow();
    QList<QWidget *> controls;
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        controls << button;
    }
    for (QComboBox *list : window->findChildren<QComboBox *>()) {
        controls << list;
    }
    for (QLineEdit *field : window->findChildren<QLineEdit *>()) {
        controls << field;
    }
    QVERIFY(controls.size() >= 24);

    QHash<QString, QString> owners;
    for (QWidget *control : std::as_const(controls)) {
        if (!control->isVisibleTo(window.get())) {
            continue; // such as the menu bar's overflow arrow, shown only when the menus do not fit
        }
        const QString name = accessibleText(control, QAccessible::Name);
        QVERIFY2(!name.trimmed().isEmpty(), qPrintable(control->objectName()));
        QVERIFY2(!accessibleText(control, QAccessible::Description).trimmed().isEmpty(),
                 qPrintable(control->objectName()));
        const QString key = name.toCaseFolded();
        QVERIFY2(!owners.contains(key),
                 qPrintable(QStringLiteral("%1 and %2 are both called %3")
                                .arg(owners.value(key), control->objectName(), name)));
        owners.insert(key, control->objectName());
    }
}

void AppearanceTest::symbolKeysAreSpelledOut()
{
    // A screen reader speaks "<" as "less than" and "00" as "zero zero"; every key whose title is
    // not a single digit gets a name in words.
    showWindow();
    const QRegularExpression singleDigit(QStringLiteral("^[0-9]$"));
    for (QPushButton *key : window->viewController()->findChildren<QPushButton *>()) {
        const QString name = accessibleText(key, QAccessible::Name);
        if (singleDigit.match(key->text()).hasMatch()) {
            QCOMPARE(name, key->text());
            continue;
        }
        QVERIFY2(name != key->text() &&
                     name.contains(QRegularExpression(QStringLiteral("[a-z]{3}"))),
                 qPrintable(key->text() + QStringLiteral(" is spoken as ") + name));
    }
}

void AppearanceTest::textIsLegible_data()
{
    QTest::addColumn<bool>("dark");
    QTest::addColumn<bool>("changedWhileShown");
    QTest::addColumn<QString>("widget");
    for (const bool dark : {false, true}) {
        const char *palette = dark ? "dark" : "light";
        for (const char *widget : {"scratchPadRegister", "sign", "timecodeOrFrame", "buttonPlus",
                                   "buttonEquals", "button7", "buttonAC", "checkboxCopy"}) {
            QTest::addRow("%s palette, %s", palette, widget)
                << dark << false << QString::fromLatin1(widget);
        }
    }
    // The desktop switching between light and dark while the window is open.
    for (const bool dark : {false, true}) {
        const char *palette = dark ? "to dark" : "to light";
        for (const char *widget : {"scratchPadRegister", "buttonPlus", "buttonEquals"}) {
            QTest::addRow("switched %s while shown, %s", palette, widget)
                << dark << true << QString::fromLatin1(widget);
        }
    }
}

void AppearanceTest::textIsLegible()
{
    QFETCH(bool, dark);
    QFETCH(bool, changedWhileShown);
    QFETCH(QString, widget);
    const QPalette wanted =
        dark ? testsupport::darkPalette() : QApplication::style()->standardPalette();
    const QPalette other =
        dark ? QApplication::style()->standardPalette() : testsupport::darkPalette();
    QApplication::setPalette(changedWhileShown ? other : wanted);
    showWindow();
    if (changedWhileShown) {
        QApplication::setPalette(wanted);
        QApplication::processEvents();
    }
    panel::ViewController *panel = window->viewController();
    for (const char *digit : {"1", "0", "0", "0", "0", "0", "0"}) {
        panel->enteredKeyNum(QLatin1String(digit));
    }
    panel->enteredKey(QStringLiteral("+"));
    panel->enteredKeyNum(QStringLiteral("8"));

    QWidget *target = panel->findChild<QWidget *>(widget);
    QVERIFY(target);
    const double ratio = paintedTextContrast(target);
    QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("contrast %1:1").arg(ratio, 0, 'f', 2)));
}

void AppearanceTest::displayDigitsKeepTheirWidth()
{
    showWindow();
    const QFontMetricsF metrics(controls().scratchPadRegister->font());
    const qreal width = metrics.horizontalAdvance(QLatin1Char('0'));
    // Colon and semicolon too: switching to drop-frame counting must not shift the digits.
    for (const QChar c : QStringLiteral("123456789:;")) {
        QCOMPARE(metrics.horizontalAdvance(c), width);
    }
    const QFontMetricsF labelMetrics(controls().timecodeOrFrame->font());
    QVERIFY(metrics.height() > labelMetrics.height() * 1.4);
}

void AppearanceTest::layoutHolds_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("shrunk to nothing") << QSize(1, 1);
    QTest::newRow("as it opens") << QSize();
    QTest::newRow("grown wide and tall") << QSize(900, 700);
    QTest::newRow("grown wide only") << QSize(900, 1);
}

void AppearanceTest::layoutHolds()
{
    QFETCH(QSize, size);
    showWindow();
    if (size.isValid()) {
        window->resize(size);
    }
    QApplication::processEvents();
    window->layout()->activate();
    QVERIFY(window->width() >= window->minimumSizeHint().width());
    QVERIFY(window->height() >= window->minimumSizeHint().height());

    const Ui::ViewController &ui = controls();
    // The longest value the display shows, a drop-frame timecode with three frame digits, fits.
    QLineEdit *display = ui.scratchPadRegister;
    display->setText(QStringLiteral("23:59:59;119"));
    // QLineEdit keeps a frame and two pixels on each side clear of text.
    const int frame = display->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, display);
    const int room = display->contentsRect().width() - 2 * frame - 4;
    QVERIFY2(display->fontMetrics().horizontalAdvance(display->text()) <= room,
             qPrintable(QStringLiteral("display %1 wide").arg(display->width())));

    // The keys stay a grid: one size for every key but equals, rows and columns aligned.
    const QList<QList<QPushButton *>> rows = {
        {ui.buttonRC, ui.buttonAC, ui.buttonC, ui.buttonBS},
        {ui.button7, ui.button8, ui.button9, ui.buttonMinus},
        {ui.button4, ui.button5, ui.button6, ui.buttonPlus},
        {ui.button1, ui.button2, ui.button3},
        {ui.button0, ui.buttonPeriod, ui.buttonTF},
    };
    // A layout hands out leftover pixels one by one, so sizes may differ by one pixel.
    const QSize keySize = ui.button5->size();
    for (const auto &row : rows) {
        for (int column = 0; column < row.size(); ++column) {
            QPushButton *key = row[column];
            QVERIFY2(std::abs(key->width() - keySize.width()) <= 1 &&
                         std::abs(key->height() - keySize.height()) <= 1,
                     qPrintable(key->objectName()));
            QCOMPARE(key->y(), row.first()->y());
            QCOMPARE(key->x(), rows.first()[column]->x());
            QVERIFY(key->fontMetrics().horizontalAdvance(key->text()) < key->width());
        }
    }
    QCOMPARE(ui.buttonEquals->x(), ui.buttonPlus->x());
    QCOMPARE(ui.buttonEquals->y(), ui.button3->y());
    QCOMPARE(ui.buttonEquals->geometry().bottom(), ui.button0->geometry().bottom());

    // Nothing spills out of the window.
    const QRect panelRect = window->viewController()->rect();
    for (QWidget *child : window->viewController()->findChildren<QWidget *>()) {
        if (child->isVisible() && child->parentWidget() == window->viewController()) {
            QVERIFY2(panelRect.contains(child->geometry()), qPrintable(child->objectName()));
        }
    }
    for (QCheckBox *box : {ui.checkboxCopy, ui.checkboxPaste}) {
        QVERIFY2(box->width() >= box->sizeHint().width(), qPrintable(box->objectName()));
    }
}

QTEST_MAIN(AppearanceTest)
#include "tst_appearance.moc"
