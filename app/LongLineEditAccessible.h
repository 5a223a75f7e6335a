#pragma once

namespace zebrix {

class LongLineEdit;

// Gives the field the accessible interface that reads and edits its whole
// text in both of its states; call from its constructor.
void UseLongLineEditAccessible(LongLineEdit& edit);

} // namespace zebrix
