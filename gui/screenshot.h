// A picture of the main window at work, for the README and the help: the
// window on an accounting installation with a module, company and data file
// chosen, a few fields selected, one of them renamed and another being
// renamed.
#ifndef RECORDHAUL_GUI_SCREENSHOT_H_
#define RECORDHAUL_GUI_SCREENSHOT_H_

#include <QImage>
#include <memory>
#include <string>

#include "base/status.h"
#include "platform/platform.h"

namespace rh {

// Renders the window over the installation in `dirs`, with a title bar
// drawn above it. Needs a QApplication; shows nothing on screen.
Result<QImage> RenderWindowPicture(const Directories& dirs);

// Renders the window as above into a PNG file at `png_path`; starts a
// QApplication (drawing in memory) when none runs.
Status DrawWindowPicture(const Directories& dirs, const std::string& png_path);

}  // namespace rh

#endif  // RECORDHAUL_GUI_SCREENSHOT_H_
