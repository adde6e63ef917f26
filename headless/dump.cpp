#include "headless/dump.h"

#include <cstdio>

#include "headless/json.h"
#include "model/form.h"
#include "model/form_table.h"
#include "model/timer_table.h"

namespace bruvik {

std::string colour_text(Colour colour) {
  if (is_system_colour(colour)) {
    // The classic desktop scheme, by system colour index.
    static constexpr Colour kSystem[] = {0xC0C0C0, 0x808000, 0x800000, 0x808080, 0xC0C0C0, 0xFFFFFF,
                                         0x000000, 0x000000, 0x000000, 0xFFFFFF, 0xC0C0C0, 0xC0C0C0,
                                         0x808080, 0x800000, 0xFFFFFF, 0xC0C0C0, 0x808080, 0x808080,
                                         0x000000, 0xC0C0C0, 0xFFFFFF, 0x000000, 0xDFDFDF, 0x000000,
                                         0xE1FFFF};  // 0x00BBGGRR, like model colours
    const std::uint32_t index = colour & 0xFFFFFFu;
    colour = index < std::size(kSystem) ? kSystem[index] : 0x000000;
  }
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02X%02X%02X", colour & 0xFFu, (colour >> 8) & 0xFFu,
                (colour >> 16) & 0xFFu);
  return buf;
}

const char* kind_name(Kind kind) {
  switch (kind) {
    case Kind::Label:
      return "label";
    case Kind::TextBox:
      return "text_box";
    case Kind::CommandButton:
      return "command_button";
    case Kind::OptionButton:
      return "option_button";
    case Kind::Frame:
      return "frame";
    case Kind::Line:
      return "line";
    case Kind::Shape:
      return "shape";
    case Kind::Image:
      return "image";
  }
  return "unknown";
}

std::string state_json(Form1& form) {
  std::string out;
  JsonWriter json(out);
  json.begin_object();
  json.key("seed");
  json.value(form.seed());
  json.key("virtual_ms");
  json.value(form.now());
  json.key("method_code");
  json.value(form.method_code());
  json.key("caption");
  json.value(built_window().caption);
  json.key("controls");
  json.begin_object();
  for (const Control& c : form.controls()) {
    const BuiltControl& s = c.built();
    const Kind k = s.kind;
    json.key(window_name(s));
    json.begin_object();
    json.key("kind");
    json.value(kind_name(k));
    // Each kind shows the properties that it has in the window.
    if (k == Kind::TextBox) {
      json.key("text");
      json.value(c.text());
    }
    if (k == Kind::Label || k == Kind::CommandButton || k == Kind::OptionButton) {
      json.key("caption");
      json.value(c.text());
    }
    if (k != Kind::Line && k != Kind::Shape) {
      json.key("enabled");
      json.value(c.enabled());
    }
    json.key("visible");
    json.value(c.visible());
    if (k == Kind::OptionButton) {
      json.key("value");
      json.value(c.value());
    }
    if (k == Kind::Line || k == Kind::Shape) {
      json.key("border_color");
      json.value(colour_text(c.border_color()));
      json.key("border_width");
      json.value(c.border_width());
    }
    if (k == Kind::Line) {
      for (const auto& [key, v] :
           {std::pair{"x1", s.x1}, {"y1", s.y1}, {"x2", s.x2}, {"y2", s.y2}}) {
        json.key(key);
        json.value(v);
      }
    } else {
      for (const auto& [key, v] :
           {std::pair{"left", s.left}, {"top", s.top}, {"width", s.width}, {"height", s.height}}) {
        json.key(key);
        json.value(v);
      }
    }
    json.end_object();
  }
  json.end_object();
  json.key("timers");
  json.begin_object();
  for (const BuiltTimer& t : timer_table()) {
    json.key("Timer" + std::to_string(t.number));
    json.begin_object();
    json.key("interval");
    json.value(form.Timer(t.number).interval());
    json.key("enabled");
    json.value(form.Timer(t.number).enabled());
    json.end_object();
  }
  json.end_object();
  json.end_object();
  return out;
}

}  // namespace bruvik
