#pragma once

#include "controls/screen_scale.h"

#include <QApplication>

#include <memory>

namespace brenvik {

// The console scales its windows itself by the screen's logical dpi, so Qt's own scaling must be
// off before the application object exists.
std::unique_ptr<QApplication> MakeConsoleApplication(int& argc, char** argv);

// The primary screen's logical dots per inch, horizontally and vertically.
ScreenScale PrimaryScreenScale();

} // namespace brenvik
