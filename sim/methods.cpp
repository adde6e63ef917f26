#include "sim/methods.h"

#include "app/form.h"
#include "sim/stations/stations.h"

namespace bruvik {

const std::array<Method, 5>& methods() {
  static const std::array<Method, 5> table{{
      {"pure", "Pure Aloha", "PROCESSING THE PURE ALOHA METHOD", "  Col.    ", 2, true,
       pure_aloha_attempt},
      {"slotted", "Slotted Aloha", "Processing The Slotted Aloha Method", "  Col.  ", 13, true,
       slotted_aloha_attempt},
      {"1per", "1 Persistant", "Processing The 1 Persistant CSMA/CD", "  Col.   ", 24, false,
       one_persistent_attempt},
      {"nonper", "Non Persistant", "Processing The Non Persistant CSMA/CD", "  Col.   ", 34, false,
       non_persistent_attempt},
      {"pper", "P Persistant", "Processing The P Persistant CSMA/CD", "  Col.   ", 44, false,
       p_persistent_attempt},
  }};
  return table;
}

int method_index(std::string_view code) {
  const auto& m = methods();
  for (int k = 0; k < 5; ++k) {
    if (code == m[static_cast<std::size_t>(k)].code) return k;
  }
  return -1;
}

Control& data_sent(Form1& form, int k) {
  switch (k) {
    case 0:
      return form.Text1[0];
    case 1:
      return form.Text2[0];
    case 2:
      return form.Text3[0];
    case 3:
      return form.Text4[0];
    default:
      return form.Text5[0];
  }
}

Control& collisions(Form1& form, int k) {
  switch (k) {
    case 0:
      return form.Text1[1];
    case 1:
      return form.Text2[1];
    default:
      return form.Text14[k - 2];
  }
}

}  // namespace bruvik
