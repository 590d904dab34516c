#include "tests/fuzz/layout_checks.h"

#include <memory>

#include "data/field_value.h"
#include "tests/fuzz/harness.h"

namespace rh::fuzz {

namespace {

int ValueBytes(FieldSource s) {
  switch (s) {
    case FieldSource::kD: return 8;
    case FieldSource::kF: case FieldSource::kJ: case FieldSource::kL: return 4;
    case FieldSource::kI: return 2;
    case FieldSource::kY: return 1;
    default: return 0;
  }
}

// Records larger than this are not converted (the reader still takes them).
constexpr int32_t kMaxCheckedRecord = 1 << 20;

}  // namespace

void CheckLayout(const FieldLayout& layout, std::string_view filler) {
  const auto& available = layout.available();
  RH_FUZZ_CHECK(available.size() >= kPseudoFields.size());
  for (size_t i = 0; i < kPseudoFields.size(); ++i)
    RH_FUZZ_CHECK(available[available.size() - kPseudoFields.size() + i] == kPseudoFields[i]);

  int64_t offset = 0;
  for (const FieldDef& f : layout.fields()) {
    RH_FUZZ_CHECK(f.offset == offset);
    offset += f.length;
    const FieldDef* found = layout.FindField(f.name);
    RH_FUZZ_CHECK(found != nullptr && found->name == f.name && found <= &f);
  }

  const int32_t length = layout.record_length();
  const bool convert = length >= 0 && length <= kMaxCheckedRecord;
  // Exactly the record's bytes on the heap, so a read past them is caught.
  std::unique_ptr<uint8_t[]> record(new uint8_t[convert && length > 0 ? length : 1]);
  for (int32_t i = 0; convert && i < length; ++i)
    record[i] = filler.empty() ? 0xFF : static_cast<uint8_t>(filler[i % filler.size()]);
  TodayClock today([] { return std::time_t{1173960000}; });
  ValueContext context{"QZGL", "01", 1, &today};
  for (const std::string& name : available) {
    BoundField b = BindField(layout, name);
    if (b.source >= FieldSource::kD) {
      RH_FUZZ_CHECK(b.found && b.offset >= 0 && b.offset < length);
      if (b.source == FieldSource::kT) {
        RH_FUZZ_CHECK(b.text_size >= 0 && int64_t{b.offset} + b.text_size <= length);
      } else {
        RH_FUZZ_CHECK(int64_t{b.offset} + ValueBytes(b.source) <= length);
      }
    }
    if (!convert) continue;
    FieldValue v = GetValue(record.get(), 1, b, context);
    RH_FUZZ_CHECK(v.source == b.source);
    if (b.source == FieldSource::kT) RH_FUZZ_CHECK(v.text().size() <= size_t(b.text_size));
    if (b.source == FieldSource::kJ) RH_FUZZ_CHECK(v.text().size() == 10);
  }
}

}  // namespace rh::fuzz
