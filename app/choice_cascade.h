// The choice cascade: what follows when the user chooses a module, a company,
// a data file or an export type, so that the lists, the available fields, the
// selection and the export-name rules always agree.
#ifndef RECORDHAUL_APP_CHOICE_CASCADE_H_
#define RECORDHAUL_APP_CHOICE_CASCADE_H_

#include "app/export_state.h"
#include "platform/platform.h"

namespace rh {

// The module list's current entry is `index` (-1: none); refills the file
// list and the companies and chooses the module's first data file.
void ChooseModule(ExportState& s, Platform& ui, int index);

// The company list's current entry changed to `index` (-1: none).
void CompanyEntryChanged(ExportState& s, int index);
// The company choice was confirmed; checks the record layout.
void ConfirmCompany(ExportState& s, Platform& ui);

// The file list's current entry is `index`; loads its fields.
void ChooseDataFile(ExportState& s, Platform& ui, int index);

// The export-type list's entry `type` was chosen.
void ChooseExportType(ExportState& s, Platform& ui, int type);

// Fills the available list for the current module and file number; false
// when the dictionary could not be read (after its message).
bool LoadFieldList(ExportState& s, Platform& ui);

// Whether the dictionary's record length agrees with the chosen company's
// register; true while no company is chosen.
bool RecordLayoutMatches(const ExportState& s);

// Replaces the company list with the module's companies, sorted by text,
// none current.
void FillCompanyList(ExportState& s);

}  // namespace rh

#endif  // RECORDHAUL_APP_CHOICE_CASCADE_H_
