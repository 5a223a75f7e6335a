#pragma once
// The main window's colours: white on black for the window and what lies on
// it, the desktop's own colours for the push buttons and the text field.
#include <QPalette>

class QWidget;

namespace zebrix {

// Black ground, white text; a disabled control's text in mid grey, which
// still reads on black but plainly differs from white.
QPalette BlackPalette(const QPalette& base);

// The desktop's own colours, whatever the parent's.
void KeepSystemColours(QWidget* widget);

// The keyboard focus mark of a box on the black ground: a dotted rectangle
// in its text colour (the desktop's mark is a faint blue, lost on black).
// Shown, as usual, once the keyboard has moved the focus.
void ShowFocusMarkInTextColour(QWidget* box);

} // namespace zebrix
