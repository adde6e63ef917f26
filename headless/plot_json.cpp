#include "headless/plot_json.h"

#include <fstream>
#include <utility>

#include "headless/json.h"

namespace bruvik {
namespace {

void numbers(JsonWriter& w, const std::vector<std::optional<double>>& values) {
  w.begin_array();
  for (const std::optional<double>& v : values) w.number(v);
  w.end_array();
}

void numbers(JsonWriter& w, const std::vector<double>& values) {
  w.begin_array();
  for (const double v : values) w.number(v);
  w.end_array();
}

void strings(JsonWriter& w, const std::vector<std::string>& texts) {
  w.begin_array();
  for (const std::string& t : texts) w.string(t);
  w.end_array();
}

}  // namespace

std::string plot_request_json(const PlotRequest& q) {
  std::string out;
  JsonWriter w(out);
  w.begin_object();
  w.key("title").string(q.title);
  w.key("x_title").string(q.x_title);
  w.key("y_title").string(q.y_title);
  w.key("caption").string(q.caption);
  w.key("x");
  numbers(w, q.x);
  w.key("series").begin_array();
  for (const PlotSeries& s : q.series) {
    w.begin_object();
    w.key("name").string(s.name);
    for (const auto& [key, values] : {std::pair{"mean", &s.mean},
                                      {"low", &s.low},
                                      {"high", &s.high},
                                      {"x_mean", &s.x_mean},
                                      {"x_low", &s.x_low},
                                      {"x_high", &s.x_high}}) {
      w.key(key);
      numbers(w, *values);
    }
    w.key("labels");
    strings(w, s.labels);
    w.end_object();
  }
  w.end_array();
  w.key("curves").begin_array();
  for (const PlotCurve& c : q.curves) {
    w.begin_object();
    w.key("name").string(c.name);
    w.key("colour").integer(c.colour);
    w.key("x");
    numbers(w, c.x);
    w.key("y");
    numbers(w, c.y);
    w.end_object();
  }
  w.end_array();
  w.key("notes");
  strings(w, q.notes);
  w.key("svg").boolean(q.svg);
  w.key("width").integer(q.width);
  w.key("height").integer(q.height);
  w.end_object();
  return out;
}

std::string write_plot_json(const PlotRequest& request, const std::string& path) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << plot_request_json(request);
  file.close();
  return file ? "" : "cannot write \"" + path + "\".";
}

}  // namespace bruvik
