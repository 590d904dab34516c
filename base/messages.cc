#include "base/messages.h"

#include <array>
#include <cassert>

namespace rh {

namespace {

using enum MessageId;
using S = MessageStyle;

constexpr std::string_view kProgram = kProgramName;
constexpr bool kEnds = true;

// Every message; a test checks that the row of each id sits at its index and
// that the help page lists them.
constexpr std::array<MessageSpec, static_cast<size_t>(kCount)> kMessages = {{
    {kNone, "", "", S::kOk},

    {kTooManyFieldsAdd, "Error #1", "You can only export 300 fields", S::kOk},
    {kTooManyFieldsAddAll, "Error #1", "You can export a maximum of 300 fields", S::kOk},
    {kIncompatibleVersions, "Warning", "Incompatible Versions", S::kOkExclamation},
    {kIncompatibleUnableToExport, "Warning",
     "Incompatible Versions - You Will Be Unable To Export", S::kOkExclamation},
    {kAlreadyExported, kProgram, "Warning, %1 already exported\n\tExport Again?", S::kYesNo},
    {kDBaseTitlesTruncated, "Warning",
     "All titles will be truncated to 9 characters in dBase format.", S::kOkCancel},

    {kDictionaryOpenFail, "Error #2", "Error - File could not be opened.", S::kOk},
    {kDictionaryTooOld, "Error #9", "Incompatible Versions.\nSee Documentation for more info.",
     S::kOkExclamation, kEnds},
    {kDictionaryNoModule, "Error", "The data dictionary does not describe module %1.", S::kOk},
    {kDictionaryNoFile, "Error", "The data dictionary does not describe file %1 of module %2.",
     S::kOk},
    {kDictionaryTooLong, "Error",
     "The data dictionary is damaged: the fields of file %1 of module %2 add up to a record "
     "length beyond 2 GB.",
     S::kOk},
    {kRegisterOpenFail, "", "The company register %1 could not be opened.", S::kOk},
    {kRegisterReadFail, "", "The company register %1 could not be read.", S::kOk},
    {kRegisterNoEntry, "", "The company register %1 has no entry for file %2.", S::kOk},
    {kDataFileOpenFailText, "Error #6", "Company Data File Open Fail", S::kOk},
    {kDataFileOpenFailTable, "Error #6", "Company Data File open Fail", S::kOk},
    {kRecordLengthTooShort, "Error",
     "The data dictionary gives this data file a record length of %1 bytes; a data file "
     "needs at least %2. Nothing was exported.",
     S::kOk},
    {kInsufficientMemory, "Error #7", "Error, Insufficient Memory", S::kOk, kEnds},
    {kDataFileReadFail, "Error", "The data file %1 could not be read.", S::kOk},
    {kDataFileReadFailNothingExported, "Error",
     "The data file %1 could not be read. Nothing was exported.", S::kOk},
    {kDataFileEndedEarly, "Warning",
     "The data file ended after %1 of the %2 records its header announces.",
     S::kOkExclamation},

    {kExportNeedsChoices, "Error", "Cannot Export Without Selecting A Module, Company, And File",
     S::kOk},
    {kNoExportFields, "Error", "No Export Fields Specified", S::kOk},
    {kExportIncompatible, "Error #4",
     "Incompatible Versions - Cannot Export\nContact your dealer for more info", S::kOkStop,
     kEnds},
    {kInvalidFileName, "Error #5", "Invalid File Name", S::kOk},
    {kTextDestinationExists, "Warning",
     "Destination file already exists.\nClick Yes to append, No to overwrite.",
     S::kYesNoCancelQuestion},
    {kTableDestinationExists, "Warning", "Destination file already exists.\nOk to Overwrite?.",
     S::kYesNoQuestion},
    {kFileOpenFail, "Error #8", "File could not be opened", S::kOk},
    {kFileWriteFail, "Error #8", "File could not be written", S::kOk},
    {kCreateFailExcel, "Error #11", "Error Creating Excel Table.", S::kOk, kEnds},
    {kCreateFailDBase, "Error #11", "Error Creating dBase Table.", S::kOk, kEnds},
    {kCreateFailAccess, "Error #11", "Error Creating Access Table.", S::kOk, kEnds},
    {kInsertFailExcel, "Error #10", "Error Insetrting to Excel Table.", S::kOk, kEnds},
    {kInsertFailDBase, "Error #10", "Error Inserting to DBase Table.", S::kOk, kEnds},
    {kInsertFailAccess, "Error #10", "Error Inserting to Access Table.", S::kOk, kEnds},
    {kExportComplete, "Export Complete", "Export Complete.\n\nRecords Exported:  %1", S::kOk},
    {kExportInterrupted, "Error", "The export was interrupted and nothing was written.", S::kOk},
    {kWarnings, "Warning", "%1", S::kOkExclamation},
    {kDBaseTextCutOne, "Warning",
     "1 value of the field %1 was longer than the %2 bytes a dBase field holds and was cut to "
     "%2.",
     S::kOkExclamation},
    {kDBaseTextCutMany, "Warning",
     "%1 values of the field %2 were longer than the %3 bytes a dBase field holds and were cut "
     "to %3.",
     S::kOkExclamation},
    {kWorkbookRowLimit, "Error",
     "An Excel worksheet holds at most %1 records below its names' row, and this data file "
     "has more. Nothing was written.",
     S::kOk},

    {kSaveNeedsChoices, kProgram, "Cannot save without selecting a Module, Company, and File",
     S::kOk},
    {kSaveChangesQuestion, "Warning",
     "Template file not saved.\nAll data will be lost.\nDo you want to save changes?",
     S::kYesNoExclamation},
    {kNotATemplate, kProgram,
     "%1 is not an export template: it names no module or export type of this program.",
     S::kOkExclamation},
    {kTemplateFieldsLeftOut, "Warning",
     "%1 of the template's fields are no longer in the data file's field list and were left "
     "out.",
     S::kOkExclamation},
    {kFileErrorGeneric, kProgram, "An unknown error occurred while accessing %1.",
     S::kOkExclamation},
    {kFileErrorNotFound, kProgram, "%1 was not found.", S::kOkExclamation},
    {kFileErrorInvalidPath, kProgram, "%1 contains an invalid path.", S::kOkExclamation},
    {kFileErrorTooManyOpen, kProgram,
     "%1 could not be opened because there are too many open files.", S::kOkExclamation},
    {kFileErrorAccessDenied, kProgram, "Access to %1 was denied.", S::kOkExclamation},
    {kFileErrorBadHandle, kProgram, "An invalid file handle was associated with %1.",
     S::kOkExclamation},
    {kFileErrorDirectoryFull, kProgram, "%1 could not be created because the directory is full.",
     S::kOkExclamation},
    {kFileErrorSeek, kProgram, "Seek failed on %1", S::kOkExclamation},
    {kFileErrorHardware, kProgram, "A hardware I/O error was reported while accessing %1.",
     S::kOkExclamation},
    {kFileErrorSharing, kProgram, "A sharing violation occurred while accessing %1.",
     S::kOkExclamation},
    {kFileErrorLocking, kProgram, "A locking violation occurred while accessing %1.",
     S::kOkExclamation},
    {kFileErrorDiskFull, kProgram, "Disk full while accessing %1.", S::kOkExclamation},
    {kFileErrorPastEnd, kProgram, "An attempt was made to access %1 past its end.",
     S::kOkExclamation},

    {kSetDefaults, "Error", "Cannot Continue - Please Set Defaults", S::kOk},
    {kCouldNotOpenDirectory, kProgram, "Error - Could not open Directory.", S::kOk},
    {kSettingsNotSaved, "Error", "The directories could not be saved in the settings: %1",
     S::kOkExclamation},
    {kOptionsNotSaved, "Error", "The export options could not be saved in the settings: %1",
     S::kOkExclamation},
    {kSettingsAccessDenied, "Error", "Access to %1 was denied.", S::kOk},
    {kSettingsUnknownError, "Error", "An unknown error occurred while accessing %1.", S::kOk},
    {kDestinationTooLong, "Warning",
     "The path %1 is longer than the %2 characters a destination can have. Choose a shorter "
     "one.",
     S::kOkExclamation},

    {kUsage, "Usage", "%1", S::kOk},
    {kUnknownField, "Usage", "the data file has no field '%1' (see 'recordhaul list fields')",
     S::kOk},
    {kDestinationExistsGiveOption, "Error",
     "The destination already exists; nothing was written. Give --overwrite or --append.",
     S::kOk},
    {kCompanyHasNoRegister, "Error", "Company %1 has no register for module %2 in %3.", S::kOk},
    {kDictionaryUnusable, "Error", "The data dictionary cannot be used.", S::kOk},
    {kTemplateExists, "Error", "%1 already exists; give --overwrite to replace it.", S::kOk},
    {kTemplateDestinationTooLong, "Error",
     "A template holds a destination of at most 74 characters; give a shorter --dest.", S::kOk},
    {kCannotCreateFolder, "Error", "Cannot create %1", S::kOk},
    {kCannotMakeTempFolder, "Error", "Cannot make a temporary folder", S::kOk},
    {kCannotWriteFile, "Error", "Cannot write %1", S::kOk},
    {kWindowCouldNotStart, "Error", "The window could not start on these directories.", S::kOk},

    {kDetailIsAFolder, "", "%1 is a folder.", S::kOk},
    {kDetailAccountingFile, "",
     "the destination is one of the accounting system's own files, which are never written.",
     S::kOk},
    {kDetailCannotStore, "", "Record %1, field %2: %3", S::kOk},
    {kDetailNaN, "", "NaN cannot be stored in a table.", S::kOk},
    {kDetailInfinity, "", "%1infinity cannot be stored in a table.", S::kOk},
    {kDetailNumberTooWide, "", "%1 does not fit the %2 characters of a dBase number.", S::kOk},
    {kDetailTemporaryFolder, "", "The temporary folder %1 could not be used: %2", S::kOk},
    {kDetailWorkbookLibrary, "", "The workbook could not be completed: %1", S::kOk},
}};

}  // namespace

bool IsQuestion(MessageStyle style) {
  switch (style) {
    case S::kOkCancel:
    case S::kYesNo:
    case S::kYesNoQuestion:
    case S::kYesNoExclamation:
    case S::kYesNoCancelQuestion:
      return true;
    case S::kOk:
    case S::kOkStop:
    case S::kOkExclamation:
      return false;
  }
  return false;
}

std::span<const MessageSpec> AllMessages() { return kMessages; }

const MessageSpec& Spec(MessageId id) {
  const auto index = static_cast<size_t>(id);
  assert(index < kMessages.size());
  return kMessages[index < kMessages.size() ? index : 0];
}

std::string MessageText(MessageId id, std::initializer_list<std::string_view> args) {
  const std::string_view format = Spec(id).text;
  std::string text;
  text.reserve(format.size() + 32);
  for (size_t i = 0; i < format.size(); ++i) {
    const char next = i + 1 < format.size() ? format[i + 1] : '\0';
    const size_t arg = static_cast<size_t>(next - '1');
    if (format[i] == '%' && next >= '1' && next <= '9' && arg < args.size()) {
      text += *(args.begin() + arg);
      ++i;
    } else {
      text += format[i];
    }
  }
  return text;
}

}  // namespace rh
