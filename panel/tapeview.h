// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The view of the tape below the keys: a line per line of the tape, the newest at the bottom, in
// the fixed-pitch font so signs and digits line up. A plain frame whose lines the style draws as
// item text, rather than one of Qt's item views, which page in far more code and memory than a
// dozen lines of text need.
//
// The lines scroll with the wheel and the keys, and by dragging the thin bar at the right that
// shows where they are on the tape.
//
// Keys: Up or Down first selects the newest line, then moves (Page Up, Page Down, Home and End
// too); on a selected line Enter and Return use it rather than press "="; Escape gives the focus
// back to the keys. Every other key reaches the panel. A double click uses a line.
#pragma once

#include <QFrame>

namespace panel {

class Tape;

class TapeView : public QFrame
{
    Q_OBJECT

public:
    /// A view of `tape`; Escape gives the focus to `panelFocus`.
    TapeView(const Tape &tape, QWidget *panelFocus, QWidget *parent = nullptr);

    const Tape &tape() const { return lines; }
    /// The selected line, or -1 when none is (Enter is then "=").
    int selectedLine() const { return selected; }
    /// The line the keys act on: the selected one, else the newest.
    int currentLine() const;
    /// Where a line is drawn.
    QRect lineRect(int row) const;
    /// Scrolls the newest line into view.
    void scrollToBottom();
    /// Nothing selected: Enter is "=" again.
    void clearSelection();
    QSize sizeHint() const override;

signals:
    /// The user chose a line to use: a double click, or Enter on the selected line.
    void activated(int row);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int lineHeight() const;
    // The height that shows this many whole lines, frame included.
    int heightFor(int lineCount) const;
    int linesInView() const;
    // The first line in view when the newest is at the bottom.
    int maxTop() const;
    // The thin bar's width, kept for the font: every line's place needs it, and the font's
    // average width that it comes from is worked out anew at each lookup.
    int barWidth() const { return bar; }
    // The bar's width and the smallest height (four lines) for the font now set.
    void followFont();
    // The thin bar at the right that shows where the lines in view are on the tape.
    QRect positionRect() const;
    int lineAt(QPoint position) const;
    void scrollTo(int first);
    void select(int row);
    // Whether the tape takes the key from the panel's shortcuts.
    bool takesKey(const QKeyEvent *key) const;

    const Tape &lines;
    QWidget *panelFocus;
    int selected = -1;
    // The first line in view.
    int top = 0;
    // What the wheel turned short of a notch.
    int wheelTurn = 0;
    int bar = 0;
};

} // namespace panel
