#pragma once

namespace zebrix {

class LongLineEdit;

// Gives the field the accessible interface that reads and edits its whole
// text, not only its slice; call from its constructor.
void UseLongLineEditAccessible(LongLineEdit& edit);

} // namespace zebrix
