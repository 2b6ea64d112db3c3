// The floor for tcpad's own window: the same kinds and numbers of controls with the same texts
// (a menu bar with its menus and shortcuts, a read-only value display, two labels, the format
// list, two check boxes and nineteen keys), laid out alike in the desktop's regular font, and no
// program behind them. Whatever tcpad needs beyond this is its own; what this needs is Qt's.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("tcpad"));
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);

    struct Item
    {
        const char *title;
        const char *keys;
    };
    const Item calculatorItems[] = {{"Copy", "Ctrl+C"},      {"Paste", "Ctrl+V"},
                                    {"Recall", "R"},         {"All Clear", "Del"},
                                    {"Clear", "Esc"},        {"Back Space", "Backspace"},
                                    {"Change T/F", "Ctrl+T"}};
    QMenu *calculator = window.menuBar()->addMenu(QStringLiteral("&Calculator"));
    for (const Item &item : calculatorItems) {
        calculator->addAction(QString::fromLatin1(item.title))
            ->setShortcut(QKeySequence(QString::fromLatin1(item.keys)));
    }
    QMenu *memory = window.menuBar()->addMenu(QStringLiteral("&Memory"));
    QMenu *save = memory->addMenu(QStringLiteral("Save"));
    QMenu *load = memory->addMenu(QStringLiteral("Load"));
    for (int n = 1; n <= 9; ++n) {
        const QString title = QStringLiteral("Mem-%1").arg(n);
        save->addAction(title)->setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+%1").arg(n)));
        load->addAction(title)->setShortcut(QKeySequence(QStringLiteral("Ctrl+%1").arg(n)));
    }
    memory->addAction(QStringLiteral("Clear All Mem"));
    window.menuBar()
        ->addMenu(QStringLiteral("&Window"))
        ->addAction(QStringLiteral("Window Only"))
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+W")));

    auto *panel = new QWidget;
    auto *column = new QVBoxLayout(panel);
    auto *valueRow = new QHBoxLayout;
    valueRow->addWidget(new QLabel(QStringLiteral("TC")));
    valueRow->addWidget(new QLabel);
    auto *display = new QLineEdit;
    display->setReadOnly(true);
    display->setAlignment(Qt::AlignRight);
    valueRow->addWidget(display, 1);
    column->addLayout(valueRow);

    auto *choiceRow = new QHBoxLayout;
    auto *formats = new QComboBox;
    formats->addItems({"16", "18", "24", "25", "30 DF", "30 NDF", "48", "50", "60 DF", "60 NDF",
                       "72", "96", "100", "120 DF", "120 NDF"});
    formats->setCurrentIndex(5);
    choiceRow->addWidget(formats);
    choiceRow->addWidget(new QCheckBox(QStringLiteral("Auto c&opy")));
    choiceRow->addWidget(new QCheckBox(QStringLiteral("Auto &paste")));
    column->addLayout(choiceRow);

    auto *keys = new QGridLayout;
    const char *titles[5][4] = {{"RC", "AC", "C", "<"},
                                {"7", "8", "9", "-"},
                                {"4", "5", "6", "+"},
                                {"1", "2", "3", "="},
                                {"0", "00", "T/F", nullptr}};
    for (int row = 0; row < 5; ++row) {
        for (int col = 0; col < 4; ++col) {
            if (titles[row][col] != nullptr) {
                auto *key = new QPushButton(QString::fromLatin1(titles[row][col]));
                key->setFocusPolicy(Qt::NoFocus);
                keys->addWidget(key, row, col);
            }
        }
    }
    column->addLayout(keys);

    window.setCentralWidget(panel);
    display->setFocus();
    window.show();
    return QApplication::exec();
}
