#include "headless/dump.h"

#include "headless/json.h"
#include "model/form.h"
#include "model/form_table.h"
#include "model/timer_table.h"
#include "view/window_view.h"

namespace bruvik {

std::string state_json(Form1& form) {
  Json json = Json::object();
  json["seed"] = form.seed();
  json["virtual_ms"] = form.now();
  json["method_code"] = form.method_code();
  json["caption"] = built_window().caption;
  Json controls = Json::object();
  for (const Control& c : form.controls()) {
    const BuiltControl& s = c.built();
    const Kind k = s.kind;
    Json control = Json::object();
    control["kind"] = kind_name(k);
    // Each kind shows the properties that it has in the window.
    if (k == Kind::TextBox) control["text"] = c.text();
    if (k == Kind::Label || k == Kind::CommandButton || k == Kind::OptionButton) {
      control["caption"] = c.text();
    }
    if (k != Kind::Line && k != Kind::Shape) control["enabled"] = c.enabled();
    control["visible"] = c.visible();
    if (k == Kind::OptionButton) control["value"] = c.value();
    if (k == Kind::Line || k == Kind::Shape) {
      control["border_color"] = colour_text(c.border_color());
      control["border_width"] = c.border_width();
    }
    if (k == Kind::Line) {
      for (const auto& [key, v] :
           {std::pair{"x1", s.x1}, {"y1", s.y1}, {"x2", s.x2}, {"y2", s.y2}}) {
        control[key] = v;
      }
    } else {
      for (const auto& [key, v] :
           {std::pair{"left", s.left}, {"top", s.top}, {"width", s.width}, {"height", s.height}}) {
        control[key] = v;
      }
    }
    controls[window_name(s)] = std::move(control);
  }
  json["controls"] = std::move(controls);
  Json timers = Json::object();
  for (const BuiltTimer& t : timer_table()) {
    Json timer = Json::object();
    timer["interval"] = form.Timer(t.number).interval();
    timer["enabled"] = form.Timer(t.number).enabled();
    timers["Timer" + std::to_string(t.number)] = std::move(timer);
  }
  json["timers"] = std::move(timers);
  return json_text(std::move(json));
}

}  // namespace bruvik
