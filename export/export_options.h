// ExportOptions: how an export may differ from what the export types have
// always written. Every option travels from the request (app/) to the job
// and the writer as a field here; every default keeps today's bytes.
#ifndef RECORDHAUL_EXPORT_EXPORT_OPTIONS_H_
#define RECORDHAUL_EXPORT_EXPORT_OPTIONS_H_

#include <cstddef>
#include <optional>
#include <string_view>

namespace rh {

// The character encoding of the text types (0 to 7). The accounting data is
// stored in Windows-1252, which the text files have always kept byte for
// byte; UTF-8 maps every byte through the Windows-1252 table.
enum class TextEncoding { kWindows1252, kUtf8 };

struct ExportOptions {
  // Each option is added here with a default that changes nothing.

  TextEncoding encoding = TextEncoding::kWindows1252;
  // UTF-8 only: the file starts with a byte-order mark, which spreadsheet
  // programs take as the sign of UTF-8. Not written when appending to a
  // file that already holds something.
  bool byte_order_mark = false;

  // Typed columns for the table types (8 to 10): J fields and "Today's
  // Date" become date columns, a day number that shows no date an empty
  // value (NULL), and texts lose their trailing blanks. The workbook type
  // always writes this way; the text types have no use for it.
  bool typed = false;

  // Threads that format text records beside the one that reads and writes
  // them: 0 one per core, 1 none (every record formatted in turn). The
  // bytes are the same at any count.
  int threads = 0;
  // Records formatted per block, on a thread or in turn, each block written
  // at once; 0: about 128 KiB of them.
  size_t records_per_block = 0;
};

// "windows-1252" and "utf-8", the names the command line and the settings
// use (any letter case; "cp1252" and "utf8" too).
std::string_view TextEncodingName(TextEncoding encoding);
std::optional<TextEncoding> ParseTextEncoding(std::string_view name);

}  // namespace rh

#endif  // RECORDHAUL_EXPORT_EXPORT_OPTIONS_H_
