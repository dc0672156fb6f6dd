// Building blocks shared by the small dialog windows of the utility library.
#pragma once

#include <QRect>
#include <QString>

#include <string_view>

class QHBoxLayout;
class QPushButton;
class QTextEdit;
class QVBoxLayout;
class QWidget;

namespace utility {

// CP1250 text for a memo: "\r\n" and lone "\r" become line breaks.
QString MemoText(std::string_view cp1250);

// A read-only memo without border whose background matches the form; `scrollBar` keeps a
// vertical scroll bar shown.
void SetupMemo(QTextEdit& memo, bool scrollBar);
// A memo named "Memo1" that fills `panel`.
QTextEdit* MakeFillingMemo(QWidget& panel, bool scrollBar);
// Plain text, optionally centred line by line.
void SetMemoText(QTextEdit& memo, const QString& text, bool centred);

// A plain strip of fixed height (0 = free) with no margins, for the forms' panels.
QWidget* MakePanel(QWidget* parent, const char* name, int height);
// Children stacked top to bottom without margins or gaps, as the forms lay out their panels.
QVBoxLayout* MakeStack(QWidget& widget);
// A row of buttons centred in `panel`.
QHBoxLayout* MakeButtonRow(QWidget& panel);
QPushButton* AddButton(QHBoxLayout& row, const char* name, const QString& text);

// The screen the window will appear on: the primary one.
QRect ScreenRect();
// Moves the window's frame to the middle of the screen. The frame is known once the window
// is about to show, so call this from showEvent.
void CentreOnScreen(QWidget& window);
// Centres the frame horizontally with its top `top` pixels below the screen's top.
void CentreHorizontally(QWidget& window, int top);

}  // namespace utility
