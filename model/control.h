// One control of the window: its built description and the values the program changes.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace bruvik {

enum class Kind { Label, TextBox, CommandButton, OptionButton, Frame, Line, Shape, Image };
enum class Picture { None, Computer, Lightning, Flag };
enum class ShapeStyle { None, Circle, RoundedSquare };

// Colours are 0x00BBGGRR; a value with the top bit set names a system colour by its index.
using Colour = std::uint32_t;
inline constexpr Colour kHighlight = 0x8000000D;
inline constexpr Colour kWindowBackground = 0x80000009;
inline constexpr Colour kButtonFace = 0x8000000F;
inline constexpr Colour kButtonText = 0x80000012;
inline constexpr Colour kTextBoxBackground = 0x80000005;
inline constexpr Colour kWindowText = 0x80000008;
inline constexpr bool is_system_colour(Colour c) {
  return (c & 0x80000000u) != 0;
}

inline constexpr double kDefaultFontPoints = 8.25;

// The window as built: one row per control, positions and sizes in twips relative to the
// container (the window's client area, or the frame named in `container`).
struct BuiltControl {
  const char* name = "";
  int index = -1;  // -1: not a control array
  Kind kind = Kind::Label;
  const char* container = "";  // "" is the window itself
  int left = 0, top = 0, width = 0, height = 0;
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // lines only
  const char* caption = "";            // Caption, or Text of a text box
  Colour back = kButtonFace;
  Colour fore = kButtonText;
  double font_points = kDefaultFontPoints;  // always "MS Sans Serif"
  bool bold = false;
  const char* tooltip = "";
  Colour border_color = kWindowText;  // lines and shapes
  ShapeStyle shape = ShapeStyle::None;
  Picture picture = Picture::None;
  bool stretch = false;  // the picture fills the control
};

// "Text1(0)", "Label34"
std::string window_name(const BuiltControl& built);

class Control {
 public:
  Control(const BuiltControl& built, std::uint64_t* text_revision);

  const BuiltControl& built() const { return *built_; }
  Kind kind() const { return built_->kind; }

  // Text of a text box, Caption of anything else.
  const std::string& text() const {
    if (later_ != nullptr) write_later();
    return text_;
  }
  void set_text(std::string_view text) {
    if (!same_text(text)) store_text(text);
  }
  // A text written only when it is next read: `write` puts it at `out` (room for 64 characters)
  // from `a`, `b` and `tag`, and returns its length. For a caption that is rewritten far more
  // often than it is read (the statistics line, on every sending). A text box's text is
  // written at once, since each of its changes is counted as it happens.
  using TextWriter = std::size_t (*)(char* out, double a, double b, int tag);
  void set_text_later(TextWriter write, double a, double b, int tag) {
    if (built_->kind == Kind::TextBox) {
      write_now(write, a, b, tag);
      return;
    }
    later_ = write;
    later_a_ = a;
    later_b_ = b;
    later_tag_ = tag;
    number_known_ = false;  // what changed() does for a caption
    number_text_ = false;
  }
  // The number as shortest decimal text.
  void set_number(double value) {
    // A counter one up (most writes are): its digits stepped in place, "129" to "130".
    if (number_text_ && value == number_ + 1 && number_ >= 0 && value < 1e15) {
      count_up(value);
    } else {
      write_number(value);
    }
  }
  // Leading-number parse of the text; kept until the text changes.
  double number() const { return number_known_ ? number_ : read_number(); }

  bool enabled() const { return enabled_; }
  void set_enabled(bool on) { enabled_ = on; }

  bool visible() const { return visible_; }
  void set_visible(bool on) {
    visible_ = on;
    shown_ |= on;
  }
  // True when the control was made visible at any moment since the last call: a view that
  // samples the model once per frame uses it so that no brief flash is lost.
  bool take_shown() {
    const bool was = shown_ || visible_;
    shown_ = false;
    return was;
  }

  // Value of an option button (selected); set through the operator actions, which raise clicks.
  bool value() const { return value_; }
  void set_value(bool on) { value_ = on; }

  // Every value the program changes, taken from `other` (a control of the same built row).
  void copy_state_from(const Control& other);

  Colour border_color() const { return border_color_; }
  void set_border_color(Colour c) { border_color_ = c; }
  int border_width() const { return border_width_; }
  void set_border_width(int w) { border_width_ = w; }

 private:
  // Inline: most writes leave a short text as it is (a method code, a flag's state).
  bool same_text(std::string_view text) const {
    const std::string& now = this->text();
    const std::size_t n = text.size();
    if (n != now.size()) return false;
    const char* a = now.data();
    const char* b = text.data();
    // Short texts compared a word at a time: two words that overlap cover 4 to 16 characters.
    if (n >= 8 && n <= 16) {
      return word<std::uint64_t>(a) == word<std::uint64_t>(b) &&
             word<std::uint64_t>(a + n - 8) == word<std::uint64_t>(b + n - 8);
    }
    if (n >= 4 && n < 8) {
      return word<std::uint32_t>(a) == word<std::uint32_t>(b) &&
             word<std::uint32_t>(a + n - 4) == word<std::uint32_t>(b + n - 4);
    }
    for (std::size_t k = 0; k < n; ++k) {
      if (a[k] != b[k]) return false;
    }
    return true;
  }
  template <typename Word>
  static Word word(const char* p) {
    Word w;
    std::memcpy(&w, p, sizeof w);
    return w;
  }
  void store_text(std::string_view text);
  void changed();
  double read_number() const;
  void write_later() const;
  void write_now(TextWriter write, double a, double b, int tag);
  void count_up(double value);
  void write_number(double value);

  const BuiltControl* built_;
  std::uint64_t* text_revision_;  // bumped when the text of a text box changes
  mutable std::string text_;
  // The text to be written when it is read, if not null (text_ is then out of date).
  mutable TextWriter later_ = nullptr;
  double later_a_ = 0, later_b_ = 0;
  int later_tag_ = 0;
  mutable double number_ = 0;
  mutable bool number_known_ = false;
  // The text is the whole number number_ as set_number writes it, so one up is a digit's step;
  // cleared whenever the text changes.
  bool number_text_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool shown_ = false;
  bool value_ = false;
  Colour border_color_ = kWindowText;
  int border_width_ = 1;
};

}  // namespace bruvik
