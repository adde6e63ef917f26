#include <string>

#include "model/form.h"
#include "model/methods.h"
#include "model/numtext.h"
#include "model/timer_table.h"
#include "sim/run/run.h"

namespace bruvik {
namespace {

void stop_family(Form1& form, int k) {
  for (int i = 0; i < kStations; ++i) form.Timer(station_timer(k, i)).set_enabled(false);
}

void start_family(Form1& form, int k) {
  for (int i = 0; i < kStations; ++i) form.Timer(station_timer(k, i)).set_enabled(true);
}

void rename(Form1& form, int k) {
  form.set_method_code(methods()[static_cast<std::size_t>(k)].code);
  form.Label29.set_text(methods()[static_cast<std::size_t>(k)].heading);
}

void enter_row(Form1& form, int k) {
  form.Text8[k].set_text(throughput_text(form, k));
  form.Label17[k].set_text(methods()[static_cast<std::size_t>(k)].name);
}

}  // namespace

std::string throughput_text(const Form1& form, int k) {
  const std::string_view line = numtext::trim(form.Label1[k].text());
  return std::string(line.size() > 3 ? line.substr(line.size() - 3) : line);
}

void switch_(Form1& form) {
  const int k = method_index(form.method_code());
  if (form.wants(EventKind::MethodEnd) && k >= 0) {
    // What the method had reached: the counts its completion test saw before it wrote "Okey".
    const bool own_test = form.passed_test.method == k;
    form.emit(EventKind::MethodEnd, -1, 23,
              own_test ? form.passed_test.sent : data_sent(form, k).number(),
              own_test ? form.passed_test.collided : collisions(form, k).number());
  }
  form.Text7.set_text("0");
  switch (k) {
    case 0:
      rename(form, 1);
      stop_family(form, 0);
      start_family(form, 1);
      enter_row(form, 0);
      break;
    case 1:
      rename(form, 2);
      stop_family(form, 1);
      start_family(form, 2);
      enter_row(form, 1);
      break;
    case 2:
      stop_family(form, 2);
      start_family(form, 3);
      rename(form, 3);
      enter_row(form, 2);
      break;
    case 3:
      stop_family(form, 3);
      start_family(form, 4);
      form.Label17[3].set_text(methods()[3].name);
      form.Text8[3].set_text(throughput_text(form, 3));
      rename(form, 4);
      break;
    case 4: {
      stop_family(form, 4);
      // A completion test can pass again after the end of the run (a data amount of 0 or less).
      // By then the table is ranked and row 4 may hold another method: writing row 4 would
      // lose that method and show P Persistant twice, so P Persistant's own row is updated.
      int row = 4;
      for (int r = 0; r < 5; ++r) {
        if (numtext::trim(form.Label17[r].text()) == methods()[4].name) row = r;
      }
      form.Label17[row].set_text(methods()[4].name);
      form.Text8[row].set_text(throughput_text(form, 4));
      select_option(form, form.Option1);
      performance(form);
      break;
    }
  }
}

}  // namespace bruvik
