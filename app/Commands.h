#pragma once
// The commands that live outside the window, bound to it: each returns what
// MainWindowServices expects for its button. (The print command and the real
// desktop's services, declared in MainWindow.h, are made here too.)
#include "MainWindow.h"
#include "output/SaveCommand.h"

namespace zebrix {

// "Enregistrer le Code Barre sous...": one save command per window, which
// remembers the last file, file type and ratio for the run of the program.
WindowCommand SaveCommandFor(SaveSeams seams = {});

} // namespace zebrix
