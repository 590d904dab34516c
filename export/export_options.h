// ExportOptions: how an export may differ from what the export types have
// always written. Every option travels from the request (app/) to the job
// and the writer as a field here; every default keeps today's bytes.
#ifndef RECORDHAUL_EXPORT_EXPORT_OPTIONS_H_
#define RECORDHAUL_EXPORT_EXPORT_OPTIONS_H_

namespace rh {

struct ExportOptions {
  // Each option is added here with a default that changes nothing.

  // Typed columns for the table types (8 to 10): J fields and "Today's
  // Date" become date columns, a day number that shows no date an empty
  // value (NULL), and texts lose their trailing blanks. The workbook type
  // always writes this way; the text types have no use for it.
  bool typed = false;
};

}  // namespace rh

#endif  // RECORDHAUL_EXPORT_EXPORT_OPTIONS_H_
