#include "controls/startup.h"

#include "model/form.h"
#include "model/timer_table.h"
#include "sim/stations/backoff.h"

namespace bruvik {
namespace {

// Station timers in start-up order: Timer2..11, Timer13..22, Timer24..33, Timer34..43,
// Timer44..53.
template <typename F>
void for_each_station_timer(F&& f) {
  for (int k = 0; k < kMethods; ++k) {
    for (int i = 0; i < kStations; ++i) f(station_timer(k, i));
  }
}

}  // namespace

void Form_Load(Form1& form) {
  // 1.
  for (int i = 0; i < kStations; ++i) form.Timer(frame_timer(i)).set_enabled(false);
  form.Timer(65).set_enabled(false);
  // 2.
  form.Label20.set_visible(false);
  form.Text10.set_visible(false);
  // 3.
  for (int k = 0; k < 3; ++k) form.Text14[k].set_text("");
  // 4., 5.
  for (Control* c : {&form.Text11, &form.Text12, &form.Text13}) c->set_number(5);
  for (Control* c : {&form.Text11, &form.Text12, &form.Text13}) c->set_enabled(false);
  // 6.
  form.Option1.set_enabled(false);
  form.Option2.set_enabled(false);
  // 7. The first back-off of every station timer, drawn one by one.
  for_each_station_timer(
      [&](int timer) { form.Timer(timer).set_interval(backoff_interval(form)); });
  // 8.
  form.Timer(54).set_enabled(false);
  // 9.
  form.Text6.set_number(100);
  form.Text9.set_text("Empty");
  for (int i = 0; i < kStations; ++i) form.Image3[i].set_visible(false);
  // 10.
  for_each_station_timer([&](int timer) { form.Timer(timer).set_enabled(false); });
  // 11., 12., 13.
  form.Image2.set_visible(false);
  form.set_method_code("pure");
  for (int i = 0; i < kStations; ++i) form.Shape1[i].set_visible(false);
  // 14.
  for (int i = 0; i < 2; ++i) {
    Control* boxes[] = {&form.Text1[i], &form.Text2[i], &form.Text3[i], &form.Text4[i],
                        &form.Text5[i]};
    for (Control* c : boxes) c->set_text("");
    for (Control* c : boxes) c->set_enabled(false);
  }
  // 15.
  for (int i = 0; i < 5; ++i) {
    form.Text8[i].set_text("");
    form.Text8[i].set_enabled(false);
  }
  // 16.
  form.Text7.set_number(0);
  form.Text10.set_number(0);
}

}  // namespace bruvik
