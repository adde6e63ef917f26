#include "web/picture_json.h"

#include <variant>

#include "history/json_numbers.h"

namespace bruvik {
namespace {

using nlohmann::json;

json rgb(const Rgb& c) {
  return json::array({c.r, c.g, c.b, c.a});
}

json rect(const Rect& r) {
  return json::array({r.x, r.y, r.w, r.h});
}

json point(const Point& p) {
  return json::array({p.x, p.y});
}

struct ToJson {
  json operator()(const Fill& f) const {
    return {{"k", "fill"}, {"r", rect(f.rect)}, {"c", rgb(f.colour)}};
  }
  json operator()(const Hatch& h) const {
    json segments = json::array();
    for (const Point& p : hatch_segments(h.rect, h.spacing)) segments.push_back(point(p));
    return {
        {"k", "hatch"}, {"r", rect(h.rect)}, {"c", rgb(h.colour)}, {"w", h.width}, {"s", segments}};
  }
  json operator()(const Line& l) const {
    return {{"k", "line"},        {"a", point(l.from)}, {"b", point(l.to)},
            {"c", rgb(l.colour)}, {"w", l.width},       {"dash", l.dashed}};
  }
  json operator()(const Mark& m) const {
    json outline = json::array();
    for (const Point& p : mark_outline(m)) outline.push_back(point(p));
    static constexpr const char* kShapes[] = {"cross", "triangle", "diamond"};
    return {{"k", "mark"},
            {"shape", kShapes[static_cast<int>(m.shape)]},
            {"p", outline},
            {"c", rgb(m.colour)},
            {"w", m.width}};
  }
  json operator()(const Text& t) const {
    return {{"k", "text"},         {"at", point(t.at)},   {"t", t.text},       {"c", rgb(t.colour)},
            {"px", t.font.pixels}, {"bold", t.font.bold}, {"max", t.max_width}};
  }
  json operator()(const Clip& c) const {
    return {{"k", "clip"}, {"r", rect(c.rect)}, {"on", c.on}};
  }
};

}  // namespace

std::string picture_json(const TimelinePicture& picture) {
  json items = json::array();
  for (const Primitive& p : picture.items) items.push_back(std::visit(ToJson{}, p));
  json boxes = json::array();
  for (const FrameBox& b : picture.boxes) {
    const BusFrame& f = picture.frames[b.id];
    boxes.push_back({{"r", rect(b.rect)},
                     {"station", f.station},
                     {"method", f.method},
                     {"sent", f.sent},
                     {"off", f.off},
                     {"ended", f.ended},
                     {"overlapped", f.overlapped},
                     {"counted", f.counted}});
  }
  return json{
      {"width", picture.width}, {"height", picture.height}, {"items", items}, {"boxes", boxes}}
      .dump();
}

}  // namespace bruvik
