#include "model/control.h"

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
      border_color_(built.border_color) {}

void Control::changed() {
  number_known_ = false;
  number_text_ = false;
  if (built_->kind == Kind::TextBox) ++*text_revision_;
}

void Control::write_now(TextWriter write, double a, double b, int tag) {
  char buf[64];
  set_text(std::string_view(buf, write(buf, a, b, tag)));
}

void Control::write_later() const {
  char buf[64];
  const std::size_t n = later_(buf, later_a_, later_b_, later_tag_);
  later_ = nullptr;
  text_.assign(buf, n);
}

void Control::store_text(std::string_view text) {
  later_ = nullptr;
  const std::size_t n = text.size();
  if (n <= text_.size()) {
    // In place; the text may be a part of this text itself.
    std::memmove(text_.data(), text.data(), n);
    if (n < text_.size()) text_.resize(n);
  } else {
    text_.assign(text.data(), n);
  }
  changed();
}

namespace {

// "999" became "000": the count gains a digit. Apart, so that the common step saves nothing.
[[gnu::noinline]] void prepend_one(std::string& digits) {
  digits.insert(digits.begin(), '1');
}

}  // namespace

void Control::count_up(double value) {
  char* d = text_.data();
  std::size_t i = text_.size();
  while (i > 0 && d[i - 1] == '9') d[--i] = '0';
  if (i > 0) {
    ++d[i - 1];
  } else {
    prepend_one(text_);
  }
  if (built_->kind == Kind::TextBox) ++*text_revision_;
  number_ = value;  // number_known_ and number_text_ stay true
}

void Control::write_number(double value) {
  if (std::fabs(value) < 1e15) {
    const auto whole = static_cast<std::int64_t>(value);
    if (static_cast<double>(whole) == value) {
      // A whole number: its digits, "-" before them, never "-0".
      char buf[24];
      char* const end = buf + sizeof buf;
      const std::uint64_t magnitude =
          whole < 0 ? 0 - static_cast<std::uint64_t>(whole) : static_cast<std::uint64_t>(whole);
      char* p = numtext::write_digits_before(end, magnitude);
      if (whole < 0) *--p = '-';
      const std::string_view text(p, static_cast<std::size_t>(end - p));
      if (!same_text(text)) store_text(text);
      number_ = value == 0 ? 0.0 : value;
      number_known_ = true;
      number_text_ = true;
      return;
    }
  }
  set_text(numtext::shortest(value));
}

void Control::copy_state_from(const Control& o) {
  text_ = o.text_;
  later_ = o.later_;
  later_a_ = o.later_a_;
  later_b_ = o.later_b_;
  later_tag_ = o.later_tag_;
  number_ = o.number_;
  number_known_ = o.number_known_;
  number_text_ = o.number_text_;
  enabled_ = o.enabled_;
  visible_ = o.visible_;
  shown_ = o.shown_;
  value_ = o.value_;
  border_color_ = o.border_color_;
  border_width_ = o.border_width_;
}

double Control::read_number() const {
  number_ = numtext::val(text());
  number_known_ = true;
  return number_;
}

}  // namespace bruvik
