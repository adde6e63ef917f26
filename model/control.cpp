#include "model/control.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "model/numtext.h"

namespace bruvik {

std::string window_name(const BuiltControl& built) {
  std::string name = built.name;
  if (built.index >= 0) name += "(" + std::to_string(built.index) + ")";
  return name;
}

Control::Control(const BuiltControl& built, std::uint64_t* text_revision)
    : built_(&built),
      text_revision_(text_revision),
      text_(built.caption),
      border_color_(built.border_color) {
  text_.reserve(24);  // statistics lines are rewritten on every sending; keep them in place
}

void Control::changed() {
  number_known_ = false;
  if (built_->kind == Kind::TextBox) ++*text_revision_;
}

void Control::set_text(std::string_view text) {
  if (text == text_) return;
  text_.assign(text.data(), text.size());
  changed();
}

void Control::set_number(double value) {
  if (value == std::floor(value) && std::fabs(value) < 1e15) {
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, static_cast<std::int64_t>(value));
    set_text(std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)));
    number_ = value == 0 ? 0.0 : value;
    number_known_ = true;
    return;
  }
  set_text(numtext::shortest(value));
}

void Control::copy_state_from(const Control& o) {
  text_ = o.text_;
  number_ = o.number_;
  number_known_ = o.number_known_;
  enabled_ = o.enabled_;
  visible_ = o.visible_;
  shown_ = o.shown_;
  value_ = o.value_;
  border_color_ = o.border_color_;
  border_width_ = o.border_width_;
}

double Control::read_number() const {
  number_ = numtext::val(text_);
  number_known_ = true;
  return number_;
}

}  // namespace bruvik
