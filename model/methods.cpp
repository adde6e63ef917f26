#include "model/methods.h"

namespace bruvik {

int method_index(std::string_view code) {
  const auto& m = methods();
  for (int k = 0; k < 5; ++k) {
    if (code == m[static_cast<std::size_t>(k)].code) return k;
  }
  return -1;
}

}  // namespace bruvik
