// The catalog of messages: every text the user can be shown, with its
// caption and the buttons and icon of its message box, under an id.
//
// Code decides by id, never by text: a failed Status carries the id of its
// message (status.h), the window shows the message box the catalog
// describes, the command line prints "Caption: text". Texts are UTF-8 and
// may hold the placeholders %1, %2, ... that the caller fills.
#ifndef RECORDHAUL_BASE_MESSAGES_H_
#define RECORDHAUL_BASE_MESSAGES_H_

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace rh {

// The program's name: the caption of the messages that carry no other.
inline constexpr char kProgramName[] = "recordhaul";

enum class MessageStyle {
  kOk,
  kOkStop,               // OK with the stop icon
  kOkExclamation,        // OK with the exclamation icon
  kOkCancel,
  kYesNo,
  kYesNoQuestion,        // Yes and No with the question icon
  kYesNoExclamation,     // Yes and No with the exclamation icon
  kYesNoCancelQuestion,  // Yes, No and Cancel with the question icon
};

enum class Answer { kOk, kCancel, kYes, kNo };

// Whether a style asks a question rather than informs.
bool IsQuestion(MessageStyle style);

enum class MessageId : uint16_t {
  kNone,  // no message: success, or a driver's or the system's own text

  // Choosing and selecting.
  kTooManyFieldsAdd,
  kTooManyFieldsAddAll,
  kIncompatibleVersions,
  kIncompatibleUnableToExport,
  kAlreadyExported,
  kDBaseTitlesTruncated,

  // The data dictionary, the registers and the data files.
  kDictionaryOpenFail,
  kDictionaryTooOld,
  kDictionaryNoModule,
  kDictionaryNoFile,
  kDictionaryTooLong,
  kRegisterOpenFail,  // details: why a register could not be used
  kRegisterReadFail,
  kRegisterNoEntry,
  kDataFileOpenFailText,
  kDataFileOpenFailTable,
  kRecordLengthTooShort,
  kInsufficientMemory,
  kDataFileReadFail,
  kDataFileReadFailNothingExported,
  kDataFileEndedEarly,

  // The export.
  kExportNeedsChoices,
  kNoExportFields,
  kExportIncompatible,
  kInvalidFileName,
  kTextDestinationExists,
  kTableDestinationExists,
  kFileOpenFail,
  kFileWriteFail,
  kCreateFailExcel,
  kCreateFailDBase,
  kCreateFailAccess,
  kInsertFailExcel,
  kInsertFailDBase,
  kInsertFailAccess,
  kExportComplete,
  kExportInterrupted,
  kWarnings,
  kDBaseTextCutOne,
  kDBaseTextCutMany,
  kWorkbookRowLimit,

  // Templates.
  kSaveNeedsChoices,
  kSaveChangesQuestion,
  kNotATemplate,
  kTemplateFieldsLeftOut,
  kFileErrorGeneric,
  kFileErrorNotFound,
  kFileErrorInvalidPath,
  kFileErrorTooManyOpen,
  kFileErrorAccessDenied,
  kFileErrorBadHandle,
  kFileErrorDirectoryFull,
  kFileErrorSeek,
  kFileErrorHardware,
  kFileErrorSharing,
  kFileErrorLocking,
  kFileErrorDiskFull,
  kFileErrorPastEnd,

  // Directories and settings.
  kSetDefaults,
  kCouldNotOpenDirectory,
  kSettingsNotSaved,
  kOptionsNotSaved,
  kSettingsAccessDenied,
  kSettingsUnknownError,
  kDestinationTooLong,

  // The command line.
  kUsage,
  kUnknownField,
  kDestinationExistsGiveOption,
  kCompanyHasNoRegister,
  kDictionaryUnusable,
  kTemplateExists,
  kTemplateDestinationTooLong,
  kCannotCreateFolder,
  kCannotMakeTempFolder,
  kCannotWriteFile,
  kWindowCouldNotStart,

  // Details: a second line under a message, saying what failed and why.
  kDetailIsAFolder,
  kDetailAccountingFile,
  kDetailCannotStore,
  kDetailNaN,
  kDetailInfinity,
  kDetailNumberTooWide,
  kDetailTemporaryFolder,
  kDetailWorkbookLibrary,

  kCount,
};

struct MessageSpec {
  MessageId id;
  std::string_view caption;
  std::string_view text;
  MessageStyle style;
  // The program ends after this message (the window closes; the command
  // line exits 1).
  bool ends_program = false;
};

// Every message, in id order.
std::span<const MessageSpec> AllMessages();
const MessageSpec& Spec(MessageId id);

// The message's text with %1, %2, ... replaced by `args` in order.
std::string MessageText(MessageId id, std::initializer_list<std::string_view> args = {});

}  // namespace rh

#endif  // RECORDHAUL_BASE_MESSAGES_H_
