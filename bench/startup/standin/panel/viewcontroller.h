// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Stands in for the calculator panel in the controls window: the panel's generated form on a
// plain widget, with none of the panel's logic, appearance or settings.
#pragma once

#include "ui_viewcontroller.h"

#include <QWidget>

namespace panel {

class ViewController : public QWidget
{
public:
    explicit ViewController(QWidget *parent = nullptr) : QWidget(parent) { form.setupUi(this); }

    Ui::ViewController form;
};

} // namespace panel
