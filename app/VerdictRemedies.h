#pragma once
// What the verdict indicator's "Corriger" link does in the main window.
#include "VerdictIndicator.h"

namespace zebrix {

class MainWindow;

// The remedy for a verdict of the window's current drawing, if there is one:
// Code 128 with widened spaces, the box unticked; a barcode cut at the right
// edge, the window widened to show it whole (no wider than the screen's
// available width: none when that is too narrow).
std::optional<VerdictIndicator::Remedy> FindRemedy(const Verdict& verdict, MainWindow& window);

} // namespace zebrix
