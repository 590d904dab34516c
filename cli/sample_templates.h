// The sample installation's templates: one per export type.
#ifndef RECORDHAUL_CLI_SAMPLE_TEMPLATES_H_
#define RECORDHAUL_CLI_SAMPLE_TEMPLATES_H_

#include <string>

#include "base/env.h"
#include "base/status.h"

namespace rh::cli {

// Writes DIR/templates/NN-name.xdf for export types 0 to 10 over the sample
// installation in DIR, each exporting to DIR/exports (or, when that path is
// longer than a template holds, to a file of the same name in the Documents
// folder).
Status WriteSampleTemplates(Env* env, const std::string& dir);

}  // namespace rh::cli

#endif  // RECORDHAUL_CLI_SAMPLE_TEMPLATES_H_
