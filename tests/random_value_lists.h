// Random VALUES lists of INSERT statements, mostly as the table writer
// sends them, now and then with a value or a shape of another kind: for
// tests that compare a driver's short ways with its parser.
#ifndef RECORDHAUL_TESTS_RANDOM_VALUE_LISTS_H_
#define RECORDHAUL_TESTS_RANDOM_VALUE_LISTS_H_

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace rh::test {

// What a column is given: one generator of the values an export sends.
using ValueMaker = std::function<std::string(class RandomValueLists&)>;

class RandomValueLists {
 public:
  explicit RandomValueLists(uint32_t seed) : random_(seed) {}

  bool OneIn(uint32_t n) { return random_() % n == 0; }
  // 1 to most + 1 digits, the first maybe a zero.
  std::string Digits(int most) {
    std::string d = std::to_string(random_() % 10);
    for (int n = static_cast<int>(random_() % static_cast<uint32_t>(most)); n > 0; --n)
      d += std::to_string(random_() % 10);
    return d;
  }
  std::string Signed(int most) {
    std::string number = OneIn(3) ? "-" : "";
    return number += Digits(most);
  }
  // A number with exactly `decimals` decimals, as "%.*f" writes it.
  std::string Decimal(int most, int decimals) {
    std::string fraction;
    for (int i = 0; i < decimals; ++i) fraction += std::to_string(random_() % 10);
    return Signed(most) + "." + fraction;
  }
  // A quoted string of up to `most` characters, now and then a quote
  // (doubled).
  std::string Text(size_t most) {
    std::string t = "'";
    for (size_t n = random_() % (most + 1); n > 0; --n)
      t += OneIn(8) ? std::string("''") : std::string(1, static_cast<char>('a' + random_() % 26));
    return t + "'";
  }

  // "VALUES (...)" of one value for each column, one in 40 taken from `odd`
  // instead; one list in 50 a value short, one in 10 in another shape (other
  // letter case, spaces, a ";" or words after it, no ")").
  std::string List(const std::vector<ValueMaker>& columns, const std::vector<std::string>& odd) {
    std::vector<std::string> values;
    for (const ValueMaker& column : columns)
      values.push_back(OneIn(40) ? odd[random_() % odd.size()] : column(*this));
    if (OneIn(50)) values.pop_back();
    const char* const comma = OneIn(30) ? " , " : ",";
    std::string list;
    for (size_t v = 0; v < values.size(); ++v) list += (v > 0 ? comma : "") + values[v];
    static const char* const kShapes[] = {"values (%)", "VALUES ( % )", "VALUES (%);",
                                          "VALUES (%) x", "VALUES (%"};
    std::string shape = OneIn(10) ? kShapes[random_() % std::size(kShapes)] : "VALUES (%)";
    return shape.replace(shape.find('%'), 1, list);
  }

 private:
  std::mt19937 random_;
};

}  // namespace rh::test

#endif  // RECORDHAUL_TESTS_RANDOM_VALUE_LISTS_H_
