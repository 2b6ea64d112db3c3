// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "panel/keyboard.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLineEdit>
#include <QShortcut>
#include <QVariant>

namespace panel {

namespace {

class DeclineEditingKeys : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        // A line edit asks for these keys before any shortcut sees them; declining lets the
        // shortcuts have them.
        if (event->type() == QEvent::ShortcutOverride) {
            event->ignore();
            return true;
        }
        return false;
    }
};

} // namespace

QList<QKeySequence> boundKeys(const QWidget *control)
{
    return QKeySequence::listFromString(control->property("keys").toString(),
                                        QKeySequence::PortableText);
}

void bindKeys(QWidget *panel, QLineEdit *display)
{
    for (QWidget *control : panel->findChildren<QWidget *>()) {
        const QList<QKeySequence> keys = boundKeys(control);
        if (keys.isEmpty()) {
            continue;
        }
        auto *shortcut = new QShortcut(panel);
        shortcut->setKeys(keys);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, control, [control] {
            if (auto *key = qobject_cast<QAbstractButton *>(control)) {
                key->click();
            } else {
                control->setFocus(Qt::ShortcutFocusReason);
            }
        });
    }
    display->installEventFilter(new DeclineEditingKeys(display));
}

} // namespace panel
