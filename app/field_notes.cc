#include "app/field_notes.h"

#include "base/cp1252.h"

namespace rh {

std::string TypeLetterText(char type) {
  if (type >= 0x21 && type < 0x7F) return std::string(1, type);
  return "byte " + std::to_string(static_cast<unsigned char>(type));
}

std::vector<FieldNote> UnexportableFields(const FieldLayout& layout) {
  std::vector<FieldNote> notes;
  int expected = 0;
  for (const FieldDef& f : layout.fields()) {
    const std::string name = Cp1252ToUtf8(f.name);
    if (!IsKnownFieldType(f.type)) {
      notes.push_back({&f, Status::Of(MessageId::kDetailUnknownFieldType,
                                      {name, TypeLetterText(f.type)})});
      continue;
    }
    expected = ExpectedFieldSize(f.type, f.length);
    if (f.length != expected) {
      notes.push_back({&f, Status::Of(MessageId::kDetailFieldLength,
                                      {name, std::string(1, f.type), std::to_string(expected),
                                       std::to_string(f.length)})});
    }
  }
  return notes;
}

}  // namespace rh
