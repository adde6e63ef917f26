#include "timeline/svg.h"

#include <cstdio>
#include <variant>

#include "model/numtext.h"

namespace bruvik {
namespace {

// Thousandths of a pixel are more than any viewer shows; written whatever the locale.
std::string num(double v) {
  std::string out = numtext::fixed(v, 3);
  while (out.back() == '0') out.pop_back();
  if (out.back() == '.') out.pop_back();
  return out == "-0" ? "0" : out;
}

std::string colour(Rgb c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
  return text;
}

std::string opacity(const char* name, Rgb c) {
  if (c.a == 255) return {};
  return std::string(" ") + name + "=\"" + num(c.a / 255.0) + "\"";
}

std::string escaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string point(const char* command, Point p) {
  return command + num(p.x) + " " + num(p.y);
}

// The path data of one primitive.
std::string data(const Fill& f) {
  const Rect& r = f.rect;
  return point("M", {r.x, r.y}) + "h" + num(r.w) + "v" + num(r.h) + "h" + num(-r.w) + "z";
}

std::string data(const Hatch& h) {
  std::string d;
  const std::vector<Point> points = hatch_segments(h.rect, h.spacing);
  for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
    d += point("M", points[i]) + point("L", points[i + 1]);
  }
  return d;
}

std::string data(const Line& l) {
  return point("M", l.from) + point("L", l.to);
}

std::string data(const Mark& m) {
  const std::vector<Point> points = mark_outline(m);
  if (m.shape == MarkShape::Cross) {
    return point("M", points[0]) + point("L", points[1]) + point("M", points[2]) +
           point("L", points[3]);
  }
  std::string d = point("M", points[0]);
  for (std::size_t i = 1; i < points.size(); ++i) d += point("L", points[i]);
  return d + "z";
}

std::string stroke(Rgb c, double width) {
  return "fill=\"none\" stroke=\"" + colour(c) + "\"" + opacity("stroke-opacity", c) +
         " stroke-width=\"" + num(width) + "\"";
}

// How a primitive's path is painted; primitives painted alike share a path.
std::string paint(const Fill& f) {
  return "fill=\"" + colour(f.colour) + "\"" + opacity("fill-opacity", f.colour);
}
std::string paint(const Hatch& h) {
  return stroke(h.colour, h.width);
}
std::string paint(const Line& l) {
  std::string s = stroke(l.colour, l.width);
  if (l.dashed) s += " stroke-dasharray=\"" + num(4 * l.width) + " " + num(2 * l.width) + "\"";
  return s;
}
std::string paint(const Mark& m) {
  if (m.width == 0) return "fill=\"" + colour(m.colour) + "\"" + opacity("fill-opacity", m.colour);
  return stroke(m.colour, m.width);
}

class Writer {
 public:
  explicit Writer(std::string& out) : out_(out) {}
  ~Writer() { flush(); }
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  void add(const Primitive& p) {
    std::visit([this](const auto& item) { add_item(item); }, p);
  }

 private:
  template <typename Shape>
  void add_item(const Shape& s) {
    const std::string how = paint(s);
    if (how != paint_) flush();
    paint_ = how;
    data_ += data(s);
  }
  void add_item(const Text& t) {
    flush();
    out_ += "<text x=\"" + num(t.at.x) + "\" y=\"" + num(t.at.y) + "\" font-size=\"" +
            num(t.font.pixels) + "\"" + (t.font.bold ? " font-weight=\"bold\"" : "") + " fill=\"" +
            colour(t.colour) + "\">" + escaped(t.text) + "</text>\n";
  }
  void add_item(const Clip& c) {
    flush();
    if (!c.on) {
      out_ += "</g>\n";
      return;
    }
    const std::string id = "clip" + std::to_string(++clips_);
    const Rect& r = c.rect;
    // In defs, so that a viewer without clipping does not draw the rectangle.
    out_ += "<defs><clipPath id=\"" + id + "\"><rect x=\"" + num(r.x) + "\" y=\"" + num(r.y) +
            "\" width=\"" + num(r.w) + "\" height=\"" + num(r.h) +
            "\"/></clipPath></defs>\n<g clip-path=\"url(#" + id + ")\">\n";
  }
  void flush() {
    if (!data_.empty()) out_ += "<path " + paint_ + " d=\"" + data_ + "\"/>\n";
    data_.clear();
    paint_.clear();
  }

  std::string& out_;
  std::string paint_, data_;
  int clips_ = 0;
};

}  // namespace

std::string svg_document(const TimelinePicture& picture, const std::string& title) {
  const std::string w = num(picture.width), h = num(picture.height);
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
      "width=\"" +
      w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h + "\">\n<title>" + escaped(title) +
      "</title>\n";
  // Arial has the same widths. The style sheet names the fonts to fall back on, for the viewers
  // that read one; the attribute names one font, for those that read no list.
  out += std::string("<style>text { font-family: \"") + kTimelineFontFamily +
         "\", Arial, Helvetica, sans-serif }</style>\n";
  // Square ends and bevelled corners, as the window draws them.
  out += std::string("<g stroke-linecap=\"square\" stroke-linejoin=\"bevel\" font-family=\"") +
         kTimelineFontFamily + "\">\n";
  {
    Writer writer(out);
    for (const Primitive& p : picture.items) writer.add(p);
  }
  out += "</g>\n</svg>\n";
  return out;
}

}  // namespace bruvik
