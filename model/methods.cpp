#include "model/methods.h"

#include "model/form.h"

namespace bruvik {

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
