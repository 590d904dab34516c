// The template commands of the File menu — New, Open, Save, Save As — with
// the unsaved-changes question and the window titles that name the current
// template.
#ifndef RECORDHAUL_APP_TEMPLATE_COMMANDS_H_
#define RECORDHAUL_APP_TEMPLATE_COMMANDS_H_

#include <string>

#include "app/export_state.h"
#include "platform/platform.h"

namespace rh {

inline constexpr std::string_view kTemplateFilter =
    "Tallyvane Export Files (*.xdf)|*.xdf|All Files|*.*||";

// "<data files directory>/untitled.xdf".
std::string UntitledTemplatePath(const ExportState& s);

// "Quillmont Software Tallyvane Data Export - <name>".
std::string WindowTitle(std::string_view template_name);

// Asks to save unsaved changes (saving unless the answer is No), then
// clears the modified flag whatever happened.
void PromptSaveChanges(ExportState& s, Platform& ui);

void NewTemplate(ExportState& s, Platform& ui);

// Each returns whether the template was written.
bool SaveTemplate(ExportState& s, Platform& ui);
bool SaveTemplateAs(ExportState& s, Platform& ui);

// Asks for a file, then OpenTemplateFile.
void OpenTemplate(ExportState& s, Platform& ui);

// Restores every choice from the template at `path`, as the window shows
// them. A file that cannot be read, or names no module or export type,
// changes nothing and reports why.
Status OpenTemplateFile(ExportState& s, Platform& ui, const std::string& path);

// The template record of the current choices, as a save writes it.
TemplateRecord CurrentTemplateRecord(const ExportState& s);

}  // namespace rh

#endif  // RECORDHAUL_APP_TEMPLATE_COMMANDS_H_
