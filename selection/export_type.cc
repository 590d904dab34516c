#include "selection/export_type.h"

namespace rh {

std::string DefaultExtension(std::string_view label) {
  size_t star = label.find("*.");
  if (star == std::string_view::npos) return {};
  return std::string(label.substr(star + 2, 3));
}

std::string DestinationFilter(std::string_view label) {
  size_t open = label.find('(');
  size_t close = label.find(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open)
    return std::string(label);
  std::string filter(label.substr(0, open));
  filter += '|';
  filter += label.substr(open + 1, close - open - 1);
  filter += "||";
  return filter;
}

}  // namespace rh
