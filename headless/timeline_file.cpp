#include "headless/timeline_file.h"

#include <atomic>
#include <cctype>
#include <fstream>

#include "timeline/layout.h"
#include "timeline/sans_metrics.h"
#include "timeline/style.h"
#include "timeline/svg.h"

namespace bruvik {
namespace {

constexpr double kTitleHeight = 34;

// Set once, by the export library's registration as the program starts.
std::atomic<TimelineDrawer> g_png_drawer{nullptr};

std::string draw_svg(const TimelineRequest& q, const std::string& path) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << svg_document(timeline_picture(q, SansMetrics()), q.title);
  file.close();
  return file ? std::string() : "the SVG file could not be written";
}

std::string draw(const TimelineRequest& q, const std::string& path) {
  if (q.svg) return draw_svg(q, path);
  const TimelineDrawer png = g_png_drawer.load();
  if (png == nullptr) return "this build of bruvik draws no PNG pictures; ask for an .svg file";
  return png(q, path);
}

}  // namespace

TimelinePicture timeline_picture(const TimelineRequest& q, const TextMeasure& measure) {
  const TimelineStyle style = timeline_style(13);
  TimelinePicture picture;
  picture.width = q.width;
  picture.height = q.height;
  picture.items.push_back(Fill{{0, 0, picture.width, picture.height}, style.background});
  const TextFont title{16, true};
  picture.items.push_back(
      Text{{12, (kTitleHeight - measure.height(title)) / 2 + measure.ascent(title)},
           q.title,
           style.text,
           title,
           0});
  TimelineSpan span;
  span.from = q.from;
  span.to = q.to;
  span.end = q.end;
  span.cursor = q.end;  // where the run stopped, when the stretch reaches it
  add_timeline(picture, {0, kTitleHeight, picture.width, picture.height - kTitleHeight - 4},
               *q.record, span, style, measure);
  return picture;
}

void set_timeline_drawer(TimelineDrawer drawer) {
  g_png_drawer.store(drawer);
}

bool draws_png_timelines() {
  return g_png_drawer.load() != nullptr;
}

bool svg_file_name(const std::string& file) {
  std::string s = file;
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s.size() >= 4 && s.compare(s.size() - 4, 4, ".svg") == 0;
}

TimelineDrawer timeline_drawer() {
  return &draw;
}

}  // namespace bruvik
