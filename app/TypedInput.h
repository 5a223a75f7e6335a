#pragma once
class QObject;

namespace zebrix {

// Test hook (ZEBRIX_TYPE_FROM_STDIN=1): each line read from standard input is
// typed into the widget that has the keyboard focus, one key press and release
// per character, as a keyboard would. It lets a test type into the window on
// a compositor that lets no other program send keys, such as a headless
// Weston. The reader lives as long as parent.
void TypeLinesFromStandardInput(QObject* parent);

} // namespace zebrix
