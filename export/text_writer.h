// The text writer: export types 0 to 7, one line per exported record.
//
//   0-3  "value","value",...   (every value quoted; quotes inside doubled)
//   4-5  value<TAB>value...     (a value holding a tab, CR, LF or double
//                                quote is quoted as in 0-3, others bare)
//   6-7  fixed-width columns, no separators; CR and LF become blanks
// Even types start with a title line of the export names. Lines end in
// CR LF, and a line feed inside a delimited value is written as CR LF.
// Each line is formatted in the stored Windows-1252 bytes; in UTF-8 the
// whole line is then mapped through the code page's table, so a fixed-width
// column keeps its width in characters.
// Overwriting writes a new file and puts it in place when the run has
// finished; appending cuts the file back to its old length on failure.
#ifndef RECORDHAUL_EXPORT_TEXT_WRITER_H_
#define RECORDHAUL_EXPORT_TEXT_WRITER_H_

#include <memory>
#include <string>

#include "base/env.h"
#include "base/file_replacement.h"
#include "base/paths.h"
#include "export/export_types.h"
#include "export/record_writer.h"

namespace rh {

class TextWriter : public RecordWriter {
 public:
  TextWriter(const ExportTypeInfo& type, const WriterSetup& setup);
  ~TextWriter() override;

  const std::string& file() const override { return path_; }
  bool ConfirmExisting(RunObserver& ui) override;
  Status OpenDestination() override;
  Status Begin(const WriterInput& input) override;
  Status WriteRecord(const uint8_t* record, int32_t record_number, int32_t exported) override;
  std::unique_ptr<RecordFormatter> NewFormatter() const override;
  // The formatters hand over lines already in the export's encoding.
  Status WriteFormatted(std::string_view bytes) override;
  Status Finish() override;
  void Abort() override;

  // Writes the record's line at p (the line end before it included, after
  // the first record) and returns its end; there must be room for
  // LongestLine() bytes. Reads nothing but its arguments and the run's
  // set-up, so that formatters on other threads can share it.
  char* FormatLine(char* p, const uint8_t* record, int32_t record_number, int32_t exported,
                   const ValueContext& values) const;
  size_t LongestLine() const { return longest_line_; }
  bool utf8_output() const { return utf8_output_; }

 private:
  char* PutText(char* p, std::string_view text) const;
  // Lines in Windows-1252, written in the export's encoding.
  Status Write(std::string_view lines);
  Status WriteBytes(std::string_view bytes);
  // Writes the lines gathered in block_.
  Status WriteBlock();

  Env* env_;
  std::string path_;
  const ExportTypeInfo& type_;
  bool quoted_;
  bool fixed_;
  bool utf8_output_;
  bool byte_order_mark_;
  WritableFile* stream_;  // standard output, or nullptr
  bool append_ = false;
  uint64_t original_size_ = 0;
  std::unique_ptr<FileReplacement> replacement_;  // overwriting a regular file
  std::unique_ptr<WritableFile> direct_;          // appending, or a device
  WritableFile* out_ = nullptr;
  const WriterInput* input_ = nullptr;
  std::string line_;    // the title line
  size_t longest_line_ = 0;
  // Lines formatted one after the other and written some 256 KiB at a time
  // (or every records_per_block records, if fewer): one copy into the file
  // instead of one per line.
  std::string block_;
  size_t block_used_ = 0;
  size_t records_per_block_;
  size_t block_records_ = 0;
  std::string utf8_;    // UTF-8: room for a block converted
  Status write_status_;
};

// The writer of the text types, for their rows of the type table.
std::unique_ptr<RecordWriter> MakeTextWriter(const ExportTypeInfo& type,
                                             const WriterSetup& setup);

}  // namespace rh

#endif  // RECORDHAUL_EXPORT_TEXT_WRITER_H_
