// What the page calls: one run in a window as the session holds it, through a plain C API whose
// texts are JSON. Plain functions rather than bound classes: a small module, no binding library
// to keep in step, and the same JSON the terminal writes (the state is --dump-at's).
#include <emscripten/emscripten.h>
#include <sys/stat.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "controls/operator_controls.h"
#include "headless/dump.h"
#include "headless/plot_json.h"
#include "history/history.h"
#include "history/json_numbers.h"
#include "history/replay.h"
#include "model/form.h"
#include "model/generator.h"
#include "model/numtext.h"
#include "session/run_session.h"
#include "session/strip_texts.h"
#include "sim/wiring.h"
#include "timeline/frame_hit.h"
#include "timeline/geometry.h"
#include "timeline/layout.h"
#include "timeline/method_spans.h"
#include "timeline/pane_span.h"
#include "timeline/sans_metrics.h"
#include "timeline/style.h"
#include "view/pictures.h"
#include "view/window_view.h"
#include "web/page_text.h"
#include "web/picture_json.h"

namespace bruvik {
namespace {

// The form with the starting settings in place, before the history takes its first look.
Form1& prepared(Form1& form, const StartSettings& start) {
  prepare(form, start);
  return form;
}

struct Page {
  // The last frame's time as the browser stamped it. Within the frame the pacer's wall clock
  // goes on from the stamp, so that the frame's budget runs out in real time (a clock standing
  // still would let "as fast as possible" run the whole run in one frame); between frames it
  // stands, so that input lands where the last frame left the run, and a caller that never
  // draws (node) sees no time pass.
  double frame_stamp_ms = 0;
  double frame_called_ms = -1;  // when the module was called for the frame under way
  Form1 form;
  History history;
  RunSession session;
  MethodSpans spans;
  WindowView view;
  // The timeline pane: what it shows, the picture last laid out (whose boxes the hit test
  // reads) and the plot's place in it.
  PaneSpan pane;
  TimelinePicture picture;
  Rect plot{0, 0, 1, 1};

  Page(std::uint64_t seed, const StartSettings& start)
      : form(seed, tick_handlers()),
        history(prepared(form, start), start),
        session(form, &history,
                [this] {
                  const double in_frame =
                      frame_called_ms < 0 ? 0 : emscripten_get_now() - frame_called_ms;
                  return static_cast<std::int64_t>((frame_stamp_ms + in_frame) * 1e6);
                }),
        view(form) {}
};

// What a control is this frame.
nlohmann::json control_now(const ControlView& c, int i) {
  return {{"i", i},
          {"text", c.text},
          {"visible", c.visible},
          {"enabled", c.enabled},
          {"value", c.value},
          {"border", rgb_text(c.border.rgb)},
          {"border_width", c.border_width}};
}

// What a system colour is for, so that the page may take it from a palette of its own.
const char* role_name(ColourRole role) {
  switch (role) {
    case ColourRole::Highlight:
      return "highlight";
    case ColourRole::Base:
      return "base";
    case ColourRole::Button:
      return "button";
    case ColourRole::ButtonText:
      return "button_text";
    case ColourRole::Text:
      return "text";
    case ColourRole::WindowText:
      return "window_text";
    case ColourRole::None:
      break;
  }
  return "";
}

// The timeline of `span` laid out in a canvas of width x height, kept for the hit test, as JSON
// with the figures line of the running method.
std::string laid_out(Page& page, const TimelineSpan& span, double width, double height) {
  const RunRecord& record = page.history.record();
  page.picture = TimelinePicture();
  page.picture.width = width;
  page.picture.height = height;
  const Rect area{0, 0, width, height};
  add_timeline(page.picture, area, record, span, timeline_style(), SansMetrics());
  page.plot = timeline_geometry(area, span.from, span.to, timeline_style(), SansMetrics()).plot;
  page.spans.update(record);
  std::string json = picture_json(page.picture);
  json.pop_back();  // the closing brace: the span and the figures go in as well
  json +=
      ",\"from\":" + std::to_string(span.from) + ",\"to\":" + std::to_string(span.to) +
      ",\"figures\":" + nlohmann::json(figures_line(record, page.spans, page.form.now())).dump() +
      "}";
  return json;
}

// The terminal's runs write their files (the plot) into the module's memory, where emscripten
// 3.1.6 starts with a umask of 0777: the file made private and opened again would refuse the
// writer. The plot's request goes to the page as JSON, which draws it.
struct TerminalFiles {
  TerminalFiles() {
    ::umask(022);
    set_plot_drawer(&write_plot_json);
  }
} g_terminal_files;

std::unique_ptr<Page> g_page;

}  // namespace

const char* give(std::string text) {
  static std::string given;
  given = std::move(text);
  return given.c_str();
}

}  // namespace bruvik

using bruvik::g_page;

extern "C" {

// A fresh run: `seed` as digits, or empty for a fresh one; the settings of the run it replaces
// stay. Returns "" or the sentence that says why not.
EMSCRIPTEN_KEEPALIVE const char* bruvik_new(const char* seed) {
  using namespace bruvik;
  std::uint64_t s = Generator::fresh_seed();
  const std::string typed = seed == nullptr ? "" : seed;
  const auto first = typed.find_first_not_of(" \t");
  if (first != std::string::npos) {
    // What the terminal's --seed takes: the whole text one number, the full 64 bits.
    const std::string digits = typed.substr(first, typed.find_last_not_of(" \t") + 1 - first);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), s);
    if (error != std::errc() || end != digits.data() + digits.size()) {
      return give("The seed must be a whole number from 0 to 18446744073709551615, not " +
                  nlohmann::json(typed).dump() + ".");
    }
  }
  StartSettings start = g_page ? g_page->history.start() : StartSettings{0, 5, 5, 5, "100"};
  start.seed = s;
  const double stamp = g_page ? g_page->frame_stamp_ms : 0;
  g_page.reset();
  g_page = std::make_unique<Page>(s, start);
  // Its clock counts from the last frame, not from the page's first.
  g_page->frame_stamp_ms = stamp;
  g_page->session.pacer().restart_origin();
  return give("");
}

// One display frame at `wall_ms` of the page's monotonic clock.
EMSCRIPTEN_KEEPALIVE void bruvik_frame(double wall_ms) {
  if (!g_page) return;
  g_page->frame_stamp_ms = wall_ms;
  g_page->frame_called_ms = emscripten_get_now();
  g_page->session.frame();
  g_page->frame_called_ms = -1;
}

// The clock straight to `ms` of virtual time (a link's moment, the tests).
EMSCRIPTEN_KEEPALIVE void bruvik_advance_to(double ms) {
  if (!g_page) return;
  g_page->session.run_core([&] { g_page->history.advance_to(static_cast<bruvik::VirtualMs>(ms)); });
}

// A button or an order option, by its window name ("Command1", "Option2"). Returns 1 when the
// click asks for a fresh copy of the program (RESTART), which the page opens beside this one.
EMSCRIPTEN_KEEPALIVE int bruvik_click(const char* name) {
  if (!g_page) return 0;
  const std::string n = name;
  if (n == "Command8") {
    // As in the window: a fresh copy, nothing of this run to record.
    bool asked = false;
    g_page->form.on_restart = [&asked] { asked = true; };
    g_page->session.restart(bruvik::Command8_Click);
    g_page->form.on_restart = nullptr;
    return asked ? 1 : 0;
  }
  const auto kind =
      n.rfind("Option", 0) == 0 ? bruvik::ActionKind::Option : bruvik::ActionKind::Click;
  g_page->session.perform({0, std::nullopt, kind, n, "", 0});
  return 0;
}

// Typing into a box; returns 0 when the box is locked (it then shows the model's text).
EMSCRIPTEN_KEEPALIVE int bruvik_type(const char* box, const char* text, int enabled) {
  if (!g_page) return 0;
  return g_page->session.type_into(box, enabled != 0, text) ? 1 : 0;
}

// A key in the seconds box; 1 when the box took it.
EMSCRIPTEN_KEEPALIVE int bruvik_seconds_key(int code) {
  return g_page && g_page->session.key_in_seconds_box(code) ? 1 : 0;
}

// Enter in the data amount box: "" when taken, else why not.
EMSCRIPTEN_KEEPALIVE const char* bruvik_data_amount(const char* typed) {
  if (!g_page) return bruvik::give("");
  const bruvik::DataAmountEdit edit = g_page->session.commit_data_amount(typed);
  return bruvik::give(edit.accepted ? "" : edit.message);
}

EMSCRIPTEN_KEEPALIVE void bruvik_toggle_pause() {
  if (g_page) g_page->session.toggle_pause();
}
EMSCRIPTEN_KEEPALIVE void bruvik_pause() {
  if (g_page) g_page->session.pause();
}
EMSCRIPTEN_KEEPALIVE void bruvik_step() {
  if (g_page) g_page->session.step_once();
}
EMSCRIPTEN_KEEPALIVE void bruvik_speed(int index) {
  if (g_page) g_page->session.choose_speed(index);
}
EMSCRIPTEN_KEEPALIVE void bruvik_go_to(double ms) {
  if (g_page) g_page->session.go_to_moment(static_cast<bruvik::VirtualMs>(ms));
}
EMSCRIPTEN_KEEPALIVE void bruvik_back() {
  if (g_page) g_page->session.go_back();
}

// An experiment file's text: "" when it replaced the run, else the sentence that says why not.
EMSCRIPTEN_KEEPALIVE const char* bruvik_open(const char* text, const char* name) {
  if (!g_page) return bruvik::give("There is no run to replace.");
  return bruvik::give(g_page->session.open_experiment_text(text, name));
}

// A title and question typed for the run before it is saved or linked: "" when taken, else the
// sentence that says why not.
EMSCRIPTEN_KEEPALIVE const char* bruvik_set_lesson(const char* title, const char* question) {
  if (!g_page) return bruvik::give("There is no run to save.");
  return bruvik::give(g_page->session.set_lesson(title, question));
}

// The run as an experiment file's text, saved at the moment on screen.
EMSCRIPTEN_KEEPALIVE const char* bruvik_save() {
  if (!g_page) return bruvik::give("");
  bruvik::Experiment e = g_page->session.current_experiment();
  g_page->session.saved(std::string("bruvik-seed") + std::to_string(e.start.seed) + ".bruvik",
                        e.saved_at ? e.saved_at->time : 0);
  return bruvik::give(bruvik::experiment_json(e));
}

// The whole window state, as --dump-at writes it.
EMSCRIPTEN_KEEPALIVE const char* bruvik_state() {
  if (!g_page) return bruvik::give("{}");
  return bruvik::give(bruvik::state_json(g_page->form));
}

// The window as built: its look, then every control's kind, place, colours, font, picture and
// names, in the order of the window's table (a container before what it holds).
EMSCRIPTEN_KEEPALIVE const char* bruvik_view_built() {
  using namespace bruvik;
  if (!g_page) return give("{}");
  const WindowView& v = g_page->view;
  nlohmann::json controls = nlohmann::json::array();
  for (const ControlView& c : v.controls()) {
    controls.push_back({{"name", c.name},
                        {"kind", kind_name(c.kind)},
                        {"container", c.container},
                        {"box", {c.box.left, c.box.top, c.box.width, c.box.height}},
                        {"line", {c.x1, c.y1, c.x2, c.y2}},
                        {"back", rgb_text(c.back.rgb)},
                        {"fore", rgb_text(c.fore.rgb)},
                        {"back_role", role_name(c.back.role)},
                        {"font_px", c.font_pixels},
                        {"bold", c.bold},
                        {"tooltip", c.tooltip},
                        {"shape", static_cast<int>(c.shape)},
                        {"picture", static_cast<int>(c.picture)},
                        {"stretch", c.stretch},
                        {"name_for_readers", c.accessible_name},
                        {"reading", c.reading}});
  }
  const WindowLook& w = v.window();
  return give(nlohmann::json{{"caption", w.caption},
                             {"width", w.width},
                             {"height", w.height},
                             {"back", rgb_text(w.back.rgb)},
                             {"fore", rgb_text(w.fore.rgb)},
                             {"controls", controls},
                             {"reading_order", v.reading_order()}}
                  .dump());
}

// The pictures as data, by their number in the view ("1": the computer, ...): rows of one
// character a pixel, and the colour of each character ('.' is transparent and has none).
EMSCRIPTEN_KEEPALIVE const char* bruvik_pictures() {
  using namespace bruvik;
  nlohmann::json pictures = nlohmann::json::object();
  nlohmann::json palette = nlohmann::json::object();
  for (const Picture p : {Picture::Computer, Picture::Lightning, Picture::Flag}) {
    nlohmann::json rows = nlohmann::json::array();
    for (const std::string_view row : *picture_rows(p)) {
      rows.push_back(row);
      for (const char pixel : row) {
        if (const auto rgb = pixel_colour(pixel)) palette[std::string(1, pixel)] = rgb_text(*rgb);
      }
    }
    pictures[std::to_string(static_cast<int>(p))] = rows;
  }
  return give(
      nlohmann::json{{"size", kPictureSize}, {"pictures", pictures}, {"palette", palette}}.dump());
}

// A display frame of the view: the controls that changed since the last one, as they are now
// (all of them the first time; a flash in between shows for this frame).
EMSCRIPTEN_KEEPALIVE const char* bruvik_view_frame() {
  using namespace bruvik;
  if (!g_page) return give("[]");
  nlohmann::json changed = nlohmann::json::array();
  const auto& controls = g_page->view.controls();
  for (const ControlChange& c : g_page->view.frame()) {
    changed.push_back(control_now(controls[static_cast<std::size_t>(c.control)], c.control));
  }
  return give(changed.dump());
}

// The speeds the strip offers, by index, as their texts.
EMSCRIPTEN_KEEPALIVE const char* bruvik_speeds() {
  using namespace bruvik;
  nlohmann::json texts = nlohmann::json::array();
  for (const SpeedChoice& c : speed_choices()) texts.push_back(c.text);
  return give(texts.dump());
}

// What the strip shows.
EMSCRIPTEN_KEEPALIVE const char* bruvik_strip() {
  using namespace bruvik;
  if (!g_page) return give("{}");
  RunSession& s = g_page->session;
  const nlohmann::json strip = {
      {"now", g_page->form.now()},
      {"time", run_time_text(g_page->form.now())},
      {"seed", std::to_string(g_page->form.seed())},
      {"paused", s.pacer().paused()},
      // Once the user has acted on the run, another seed would be another run.
      {"begun", !g_page->history.actions().empty()},
      {"speed", speed_index(s.pacer().speed())},
      {"furthest", s.furthest_to_show()},
      {"message", s.message()},
      {"said", s.said()},
      {"title", s.title()},
      {"note", s.note()},
      {"wants_timeline", s.note_asks_for_timeline()},
      {"failed", s.failed()},
      {"fault", s.fault()},
  };
  return give(strip.dump());
}

// The timeline of [from, to] (the present at `cursor`, none when negative) in a canvas of
// width x height pixels, with the figures line of the running method.
EMSCRIPTEN_KEEPALIVE const char* bruvik_timeline(double from, double to, double cursor,
                                                 double width, double height) {
  using namespace bruvik;
  if (!g_page) return give("{}");
  TimelineSpan span;
  span.from = static_cast<VirtualMs>(from);
  span.to = static_cast<VirtualMs>(to);
  span.cursor = static_cast<VirtualMs>(cursor);
  span.end = std::max(g_page->form.now(), g_page->session.furthest_to_show());
  return give(laid_out(*g_page, span, width, height));
}

// The pane in a canvas of width x height, once a display frame: "" while it would show what it
// showed last (unless `again`), else its picture, span and figures as bruvik_timeline gives them.
EMSCRIPTEN_KEEPALIVE const char* bruvik_pane(double width, double height, int again) {
  using namespace bruvik;
  if (!g_page) return give("");
  Page& p = *g_page;
  const VirtualMs now = p.form.now();
  p.spans.update(p.history.record());
  p.pane.show_moment(now, std::max(now, p.session.furthest_to_show()), p.spans.finished_by(now));
  const double plot =
      timeline_geometry(Rect{0, 0, width, height}, 0, 1, timeline_style(), SansMetrics()).plot.w;
  const bool moved = p.pane.moved(p.history.record(), plot);
  if (!moved && again == 0 && p.picture.width == width && p.picture.height == height) {
    return give("");
  }
  return give(laid_out(p, p.pane.span(plot), width, height));
}

// The pane's header besides the figures: the span's length and whether it follows the clock.
EMSCRIPTEN_KEEPALIVE const char* bruvik_pane_header() {
  using namespace bruvik;
  if (!g_page) return give("{}");
  return give(nlohmann::json{{"shown", span_shown_text(g_page->pane.length())},
                             {"following", g_page->pane.following()}}
                  .dump());
}

// The wheel or a pinch: `steps` (positive: in) around x of the last picture.
EMSCRIPTEN_KEEPALIVE void bruvik_pane_zoom(double steps, double x) {
  if (g_page) g_page->pane.zoom(steps, x - g_page->plot.left(), g_page->plot.w);
}

EMSCRIPTEN_KEEPALIVE void bruvik_pane_follow() {
  if (g_page) g_page->pane.follow();
}

// A press: 1 when a drag may pan from here (the run is paused or has finished).
EMSCRIPTEN_KEEPALIVE int bruvik_pane_press() {
  if (!g_page) return 0;
  bruvik::Page& p = *g_page;
  if (!p.session.pacer().paused() && !p.spans.finished_by(p.form.now())) return 0;
  p.pane.begin_drag(p.plot.w);
  return 1;
}

// The drag, `dx` pixels from where it began (positive: back in time).
EMSCRIPTEN_KEEPALIVE void bruvik_pane_drag(double dx) {
  if (g_page) g_page->pane.drag(dx, g_page->plot.w);
}

// The moment at x of the last picture (a click goes there); negative x: the right edge (Enter).
EMSCRIPTEN_KEEPALIVE double bruvik_pane_moment(double x) {
  if (!g_page) return 0;
  const bruvik::PaneSpan& pane = g_page->pane;
  return static_cast<double>(x < 0 ? pane.right_moment(g_page->plot.w)
                                   : pane.moment_at(x - g_page->plot.left(), g_page->plot.w));
}

// The story of the frame drawn at (x, y) of the last picture, or "" where there is none.
EMSCRIPTEN_KEEPALIVE const char* bruvik_pane_story(double x, double y) {
  using namespace bruvik;
  if (!g_page) return give("");
  const auto hit =
      frame_at(g_page->picture, static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
  return give(hit ? frame_tooltip(*hit) : "");
}

}  // extern "C"
