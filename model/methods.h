// The five access methods in run order, and what belongs to each of them.
#pragma once

#include <array>
#include <string_view>

#include "model/form.h"

namespace bruvik {

struct Method {
  const char* code;       // window-level method code
  const char* name;       // display name in the performance table
  const char* heading;    // method heading while this method runs
  const char* separator;  // between the two halves of the statistics line
  int first_timer;        // station i of this method ticks on Timer(first_timer + i)
  bool subtracts_waited;  // its completion test also subtracts the waited-data count
};

inline constexpr std::array<Method, 5> kMethodTable{{
    {"pure", "Pure Aloha", "PROCESSING THE PURE ALOHA METHOD", "  Col.    ", 2, true},
    {"slotted", "Slotted Aloha", "Processing The Slotted Aloha Method", "  Col.  ", 13, true},
    {"1per", "1 Persistant", "Processing The 1 Persistant CSMA/CD", "  Col.   ", 24, false},
    {"nonper", "Non Persistant", "Processing The Non Persistant CSMA/CD", "  Col.   ", 34, false},
    {"pper", "P Persistant", "Processing The P Persistant CSMA/CD", "  Col.   ", 44, false},
}};

inline const std::array<Method, 5>& methods() {
  return kMethodTable;
}

// The index of a method code in run order, or -1.
int method_index(std::string_view code);

// The data-sent counter and the collision counter of method k. Inline: every sending and
// every completion test reads them.
inline Control& data_sent(Form1& form, int k) {
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

inline Control& collisions(Form1& form, int k) {
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
