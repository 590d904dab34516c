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
#include "cli/command.h"
#include "platform/platform.h"

namespace rh {

// Renders the window over the installation in `dirs`, with a title bar
// drawn above it. Needs a QApplication; shows nothing on screen.
Result<QImage> RenderWindowPicture(const Directories& dirs);

// `recordhaul screenshot FILE.png [--data DIR --system DIR --programs DIR]`:
// without directories the picture is taken on a sample installation
// written to a temporary folder.
std::unique_ptr<cli::Command> MakeScreenshotCommand();

}  // namespace rh

#endif  // RECORDHAUL_GUI_SCREENSHOT_H_
