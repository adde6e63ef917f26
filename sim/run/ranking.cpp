#include <array>
#include <string>
#include <utility>

#include "model/form.h"
#include "model/numtext.h"
#include "sim/run/run.h"

namespace bruvik {
namespace {

// The value trimmed and read with the leading-number parse (which skips leading blanks and
// stops at trailing ones, so the box's kept reading is the same number).
double row_value(const Form1& form, int row) {
  return form.Text8[row].number();
}

}  // namespace

void performance(Form1& form) {
  form.Option1.set_enabled(true);
  form.Option2.set_enabled(true);

  // Exchange sort, ascending; equal values are never exchanged.
  for (int pass = 0; pass < 6; ++pass) {
    for (int j = 0; j < 4; ++j) {
      if (row_value(form, j + 1) < row_value(form, j)) {
        const std::string value(form.Text8[j].text());
        form.Text8[j].set_text(numtext::trim(form.Text8[j + 1].text()));
        form.Text8[j + 1].set_text(numtext::trim(value));
        const std::string name(form.Label17[j].text());
        form.Label17[j].set_text(numtext::trim(form.Label17[j + 1].text()));
        form.Label17[j + 1].set_text(numtext::trim(name));
      }
    }
  }

  if (form.Option1.value()) {
    std::array<std::string, 5> values, names;
    for (int k = 0; k < 5; ++k) {
      values[static_cast<std::size_t>(k)] = std::string(numtext::trim(form.Text8[k].text()));
      names[static_cast<std::size_t>(k)] = form.Label17[k].text();
    }
    for (int k = 0; k < 5; ++k) {
      form.Text8[k].set_text(values[static_cast<std::size_t>(4 - k)]);
      form.Label17[k].set_text(names[static_cast<std::size_t>(4 - k)]);
    }
  }
}

}  // namespace bruvik
