#pragma once

class QKeyEvent;

namespace zebrix {

class LongLineEdit;

// The keys a windowed LongLineEdit handles itself, because the base class
// would lay out the whole text for them (cursor movement by characters and
// words, deletions) or refuse them on a field that shows nothing (copy, cut),
// and typing over a big selection. True when the key was one of them and
// has been handled.
bool WindowedKey(LongLineEdit& edit, QKeyEvent* event);

} // namespace zebrix
