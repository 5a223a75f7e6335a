#pragma once
#include "cli/QtServices.h"

namespace zebrix::cli {

// The Qt and ZXing-C++ side of the command line. Starts a QGuiApplication
// (offscreen) the first time a font is needed, unless one is running.
QtServices& QtServicesInstance();

} // namespace zebrix::cli
