#include "drivers/xls/cfb_writer.h"

#include <string>

#include "base/bytes.h"

namespace rh::xls {

namespace {

constexpr uint32_t kSectorSize = 512;
constexpr uint32_t kIdsPerSector = kSectorSize / 4;
constexpr uint32_t kHeaderDifatSlots = 109;
constexpr uint32_t kFreeSect = 0xFFFFFFFF;
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFatSect = 0xFFFFFFFD;
constexpr uint32_t kDifSect = 0xFFFFFFFC;
constexpr uint32_t kNoStream = 0xFFFFFFFF;
constexpr uint64_t kMaxStreamSize = 0x7FFFFFFF;  // what version 3 addresses

// Where each part of the file goes, in sectors after the header:
// [stream][FAT][DIFAT][directory].
struct Layout {
  uint32_t stream_sectors = 0;
  uint32_t fat_sectors = 0;
  uint32_t difat_sectors = 0;
  uint32_t fat_start() const { return stream_sectors; }
  uint32_t difat_start() const { return fat_start() + fat_sectors; }
  uint32_t dir_sector() const { return difat_start() + difat_sectors; }
  uint32_t total() const { return dir_sector() + 1; }
};

Layout PlanLayout(uint64_t stream_size) {
  Layout l;
  l.stream_sectors =
      static_cast<uint32_t>((stream_size + kSectorSize - 1) / kSectorSize);
  l.fat_sectors = 1;
  for (;;) {
    l.difat_sectors =
        l.fat_sectors <= kHeaderDifatSlots
            ? 0
            : (l.fat_sectors - kHeaderDifatSlots + kIdsPerSector - 2) /
                  (kIdsPerSector - 1);
    if (uint64_t{l.fat_sectors} * kIdsPerSector >= l.total()) return l;
    ++l.fat_sectors;
  }
}

void PutU32(std::string* out, uint32_t v) { PutLittleU32(out, v); }

// One 128-byte directory entry.
void PutDirEntry(std::string* out, std::string_view name, uint8_t type,
                 uint32_t child, uint32_t start, uint32_t size) {
  std::string entry(128, '\0');
  auto* p = reinterpret_cast<uint8_t*>(entry.data());
  if (!name.empty()) {
    for (size_t i = 0; i < name.size(); ++i)
      StoreLittleU16(p + 2 * i, static_cast<uint8_t>(name[i]));
    StoreLittleU16(p + 64, static_cast<uint16_t>(2 * (name.size() + 1)));
  }
  p[66] = type;
  p[67] = 1;  // black: a one-node tree is trivially balanced
  StoreLittleU32(p + 68, kNoStream);  // left sibling
  StoreLittleU32(p + 72, kNoStream);  // right sibling
  StoreLittleU32(p + 76, child);
  StoreLittleU32(p + 116, start);
  StoreLittleU32(p + 120, size);
  out->append(entry);
}

std::string Header(const Layout& l) {
  std::string h;
  static constexpr uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0,
                                            0xA1, 0xB1, 0x1A, 0xE1};
  h.append(reinterpret_cast<const char*>(kSignature), 8);
  h.append(16, '\0');           // class id
  PutLittleU16(&h, 0x003E);     // minor version
  PutLittleU16(&h, 0x0003);     // major version: 512-byte sectors
  PutLittleU16(&h, 0xFFFE);     // byte order mark
  PutLittleU16(&h, 9);          // sector shift
  PutLittleU16(&h, 6);          // mini sector shift
  h.append(6, '\0');
  PutU32(&h, 0);                // directory sectors (always 0 in version 3)
  PutU32(&h, l.fat_sectors);
  PutU32(&h, l.dir_sector());
  PutU32(&h, 0);                // transaction signature
  PutU32(&h, kMinRegularStreamSize);
  PutU32(&h, kEndOfChain);      // no mini FAT
  PutU32(&h, 0);
  PutU32(&h, l.difat_sectors ? l.difat_start() : kEndOfChain);
  PutU32(&h, l.difat_sectors);
  for (uint32_t i = 0; i < kHeaderDifatSlots; ++i)
    PutU32(&h, i < l.fat_sectors ? l.fat_start() + i : kFreeSect);
  return h;
}

std::string Fat(const Layout& l) {
  std::string fat;
  fat.reserve(size_t{l.fat_sectors} * kSectorSize);
  for (uint32_t i = 0; i + 1 < l.stream_sectors; ++i) PutU32(&fat, i + 1);
  if (l.stream_sectors) PutU32(&fat, kEndOfChain);
  for (uint32_t i = 0; i < l.fat_sectors; ++i) PutU32(&fat, kFatSect);
  for (uint32_t i = 0; i < l.difat_sectors; ++i) PutU32(&fat, kDifSect);
  PutU32(&fat, kEndOfChain);  // directory
  fat.resize(size_t{l.fat_sectors} * kSectorSize, '\xFF');
  return fat;
}

// FAT sector numbers past the header's 109, 127 to a sector, each sector
// ending in the number of the next.
std::string Difat(const Layout& l) {
  std::string difat;
  uint32_t next_fat = kHeaderDifatSlots;
  for (uint32_t s = 0; s < l.difat_sectors; ++s) {
    for (uint32_t i = 0; i < kIdsPerSector - 1; ++i, ++next_fat)
      PutU32(&difat, next_fat < l.fat_sectors ? l.fat_start() + next_fat
                                              : kFreeSect);
    PutU32(&difat, s + 1 < l.difat_sectors ? l.difat_start() + s + 1
                                           : kEndOfChain);
  }
  return difat;
}

}  // namespace

Status WriteCompoundFile(WritableFile* file, std::string_view stream_name,
                         const std::vector<std::string_view>& stream) {
  uint64_t size = 0;
  for (std::string_view piece : stream) size += piece.size();
  if (size < kMinRegularStreamSize || size > kMaxStreamSize ||
      stream_name.empty() || stream_name.size() > 31) {
    return Status::Sql("HY000", "stream cannot be stored in a compound file");
  }
  Layout l = PlanLayout(size);
  Status s = file->Append(Header(l));
  for (std::string_view piece : stream)
    if (s.ok()) s = file->Append(piece);
  uint64_t tail = size % kSectorSize;
  if (s.ok() && tail) s = file->Append(std::string(kSectorSize - tail, '\0'));
  if (s.ok()) s = file->Append(Fat(l));
  if (s.ok()) s = file->Append(Difat(l));
  if (s.ok()) {
    std::string dir;
    PutDirEntry(&dir, "Root Entry", 5, 1, kEndOfChain, 0);
    PutDirEntry(&dir, stream_name, 2, kNoStream, 0,
                static_cast<uint32_t>(size));
    PutDirEntry(&dir, "", 0, kNoStream, 0, 0);
    PutDirEntry(&dir, "", 0, kNoStream, 0, 0);
    s = file->Append(dir);
  }
  return s;
}

}  // namespace rh::xls
