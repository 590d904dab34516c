// ExportOptions: how an export may differ from what the export types have
// always written. Every option travels from the request (app/) to the job
// and the writer as a field here; every default keeps today's bytes.
#ifndef RECORDHAUL_EXPORT_EXPORT_OPTIONS_H_
#define RECORDHAUL_EXPORT_EXPORT_OPTIONS_H_

namespace rh {

struct ExportOptions {
  // Each option is added here with a default that changes nothing.
};

}  // namespace rh

#endif  // RECORDHAUL_EXPORT_EXPORT_OPTIONS_H_
