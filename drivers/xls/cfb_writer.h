// A compound file (OLE2 structured storage, version 3) holding one stream:
// the container an .xls workbook lives in.
//
// The stream is given as pieces that are written back to back. A stream under
// 4096 bytes would belong in the mini stream, which this writer leaves out;
// callers pad such a stream to 4096 bytes (readers ignore what follows the
// workbook's final EOF record).
#ifndef RECORDHAUL_DRIVERS_XLS_CFB_WRITER_H_
#define RECORDHAUL_DRIVERS_XLS_CFB_WRITER_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/env.h"
#include "base/status.h"

namespace rh::xls {

inline constexpr uint64_t kMinRegularStreamSize = 4096;

// Writes the whole compound file to `file` (not closed). `stream_name` is
// ASCII, at most 31 characters. Fails if the stream is smaller than
// kMinRegularStreamSize or larger than the container can address.
Status WriteCompoundFile(WritableFile* file, std::string_view stream_name,
                         const std::vector<std::string_view>& stream);

}  // namespace rh::xls

#endif  // RECORDHAUL_DRIVERS_XLS_CFB_WRITER_H_
