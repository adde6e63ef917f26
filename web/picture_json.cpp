#include "web/picture_json.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <variant>

#include "model/numtext.h"

namespace bruvik {
namespace {

// Written straight into one string: the page asks for a picture at every frame, and building
// nlohmann's tree of it first cost more than laying the timeline out. The text is what
// nlohmann::json::dump() wrote (its keys in order, numbers as json_numbers writes them).
class Writer {
 public:
  explicit Writer(std::string& out) : out_(out) {}

  Writer& raw(std::string_view text) {
    out_ += text;
    return *this;
  }
  Writer& number(double v) {
    if (!std::isfinite(v)) return raw("null");
    char text[32];
    out_.append(text, numtext::write_round_trip(text, v));
    return *this;
  }
  Writer& integer(std::int64_t v) {
    char text[24];
    out_.append(text, std::to_chars(text, text + sizeof text, v).ptr);
    return *this;
  }
  Writer& boolean(bool v) { return raw(v ? "true" : "false"); }
  Writer& string(std::string_view s) {
    out_ += '"';
    for (const char ch : s) {
      switch (ch) {
        case '"':
          out_ += "\\\"";
          break;
        case '\\':
          out_ += "\\\\";
          break;
        case '\b':
          out_ += "\\b";
          break;
        case '\f':
          out_ += "\\f";
          break;
        case '\n':
          out_ += "\\n";
          break;
        case '\r':
          out_ += "\\r";
          break;
        case '\t':
          out_ += "\\t";
          break;
        default:
          if (static_cast<unsigned char>(ch) < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned>(ch));
            out_ += code;
          } else {
            out_ += ch;
          }
      }
    }
    out_ += '"';
    return *this;
  }
  Writer& rgb(const Rgb& c) {
    raw("[").integer(c.r).raw(",").integer(c.g).raw(",").integer(c.b).raw(",").integer(c.a);
    return raw("]");
  }
  Writer& rect(const Rect& r) {
    raw("[").number(r.x).raw(",").number(r.y).raw(",").number(r.w).raw(",").number(r.h);
    return raw("]");
  }
  Writer& point(const Point& p) { return raw("[").number(p.x).raw(",").number(p.y).raw("]"); }
  Writer& points(const std::vector<Point>& ps) {
    raw("[");
    for (std::size_t i = 0; i < ps.size(); ++i) {
      if (i > 0) raw(",");
      point(ps[i]);
    }
    return raw("]");
  }

  void operator()(const Fill& f) {
    raw("{\"c\":").rgb(f.colour).raw(",\"k\":\"fill\",\"r\":").rect(f.rect).raw("}");
  }
  void operator()(const Hatch& h) {
    raw("{\"c\":").rgb(h.colour).raw(",\"k\":\"hatch\",\"r\":").rect(h.rect);
    raw(",\"s\":").points(hatch_segments(h.rect, h.spacing)).raw(",\"w\":").number(h.width);
    raw("}");
  }
  void operator()(const Line& l) {
    raw("{\"a\":").point(l.from).raw(",\"b\":").point(l.to).raw(",\"c\":").rgb(l.colour);
    raw(",\"dash\":").boolean(l.dashed).raw(",\"k\":\"line\",\"w\":").number(l.width).raw("}");
  }
  void operator()(const Mark& m) {
    static constexpr const char* kShapes[] = {"cross", "triangle", "diamond"};
    raw("{\"c\":").rgb(m.colour).raw(",\"k\":\"mark\",\"p\":").points(mark_outline(m));
    raw(",\"shape\":").string(kShapes[static_cast<int>(m.shape)]);
    raw(",\"w\":").number(m.width).raw("}");
  }
  void operator()(const Text& t) {
    raw("{\"at\":").point(t.at).raw(",\"bold\":").boolean(t.font.bold).raw(",\"c\":").rgb(t.colour);
    raw(",\"k\":\"text\",\"max\":").number(t.max_width).raw(",\"px\":").number(t.font.pixels);
    raw(",\"t\":").string(t.text).raw("}");
  }
  void operator()(const Clip& c) {
    raw("{\"k\":\"clip\",\"on\":").boolean(c.on).raw(",\"r\":").rect(c.rect).raw("}");
  }

 private:
  std::string& out_;
};

}  // namespace

std::string picture_json(const TimelinePicture& picture) {
  std::string out;
  out.reserve(64 * (picture.items.size() + picture.boxes.size()) + 64);
  Writer w(out);
  w.raw("{\"boxes\":[");
  for (std::size_t i = 0; i < picture.boxes.size(); ++i) {
    const FrameBox& b = picture.boxes[i];
    const BusFrame& f = picture.frames[b.id];
    if (i > 0) w.raw(",");
    w.raw("{\"counted\":").boolean(f.counted).raw(",\"ended\":").boolean(f.ended);
    w.raw(",\"method\":").integer(f.method).raw(",\"off\":").integer(f.off);
    w.raw(",\"overlapped\":").boolean(f.overlapped).raw(",\"r\":").rect(b.rect);
    w.raw(",\"sent\":").integer(f.sent).raw(",\"station\":").integer(f.station).raw("}");
  }
  w.raw("],\"height\":").number(picture.height).raw(",\"items\":[");
  for (std::size_t i = 0; i < picture.items.size(); ++i) {
    if (i > 0) w.raw(",");
    std::visit(w, picture.items[i]);
  }
  w.raw("],\"width\":").number(picture.width).raw("}");
  return out;
}

}  // namespace bruvik
