#include "headless/run_codec.h"

#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "history/json_numbers.h"

namespace bruvik {
namespace {

using Json = nlohmann::json;

// memcpy: emscripten 3.1.6's library has no std::bit_cast.
Json bits(double d) {
  std::uint64_t u = 0;
  std::memcpy(&u, &d, sizeof u);
  return u;
}
double number(const Json& j) {
  const std::uint64_t u = j.get<std::uint64_t>();
  double d = 0;
  std::memcpy(&d, &u, sizeof d);
  return d;
}
Json maybe(const std::optional<double>& d) {
  return d ? bits(*d) : Json(nullptr);
}
std::optional<double> maybe_number(const Json& j) {
  if (j.is_null()) return std::nullopt;
  return number(j);
}

// Arrays, not objects: a sweep sends a few hundred thousand of these.
Json bus_json(const BusFigures& b) {
  return Json::array({b.sendings, b.counted_collisions, b.frames_overlapped, b.duration_ms,
                      maybe(b.offered_load), maybe(b.throughput_counted),
                      maybe(b.throughput_on_bus)});
}
BusFigures bus_of(const Json& j) {
  BusFigures b;
  b.sendings = j.at(0).get<int>();
  b.counted_collisions = j.at(1).get<int>();
  b.frames_overlapped = j.at(2).get<int>();
  b.duration_ms = j.at(3).get<VirtualMs>();
  b.offered_load = maybe_number(j.at(4));
  b.throughput_counted = maybe_number(j.at(5));
  b.throughput_on_bus = maybe_number(j.at(6));
  return b;
}

Json method_json(const MethodResult& m) {
  return Json::array({m.code, m.name, m.reached, m.ended, bits(m.data_sent), bits(m.collisions),
                      bits(m.seconds), m.statistics_line, m.throughput_text, m.started_ms,
                      m.ended_ms, m.bus ? bus_json(*m.bus) : Json(nullptr)});
}
MethodResult method_of(const Json& j) {
  MethodResult m;
  m.code = j.at(0).get<std::string>();
  m.name = j.at(1).get<std::string>();
  m.reached = j.at(2).get<bool>();
  m.ended = j.at(3).get<bool>();
  m.data_sent = number(j.at(4));
  m.collisions = number(j.at(5));
  m.seconds = number(j.at(6));
  m.statistics_line = j.at(7).get<std::string>();
  m.throughput_text = j.at(8).get<std::string>();
  m.started_ms = j.at(9).get<VirtualMs>();
  m.ended_ms = j.at(10).get<VirtualMs>();
  if (!j.at(11).is_null()) m.bus = bus_of(j.at(11));
  return m;
}

Json run_json(const BatchRun& b) {
  const RunResult& r = b.result;
  Json methods = Json::array();
  for (const MethodResult& m : r.methods) methods.push_back(method_json(m));
  Json table = Json::array();
  for (const TableRow& t : r.table) table.push_back(Json::array({t.place, t.name, t.value}));
  const StartSettings& s = r.params.start;
  const Json params =
      Json::array({s.seed, s.mtu, s.rate, s.frame_length, s.data_amount, r.params.max_time});
  return Json::array({r.finished, r.virtual_ms, r.ticks_delivered, std::move(methods),
                      std::move(table), b.error ? Json(*b.error) : Json(nullptr), params});
}
BatchRun run_of(const Json& j) {
  BatchRun b;
  RunResult& r = b.result;
  const Json& params = j.at(6);
  r.params.start = {params.at(0).get<std::uint64_t>(), params.at(1).get<int>(),
                    params.at(2).get<int>(), params.at(3).get<int>(),
                    params.at(4).get<std::string>()};
  r.params.max_time = params.at(5).get<VirtualMs>();
  r.finished = j.at(0).get<bool>();
  r.virtual_ms = j.at(1).get<VirtualMs>();
  r.ticks_delivered = j.at(2).get<std::uint64_t>();
  const Json& methods = j.at(3);
  const Json& table = j.at(4);
  if (methods.size() != r.methods.size() || table.size() != r.table.size()) {
    throw std::invalid_argument("a run has another count of methods");
  }
  for (std::size_t k = 0; k < r.methods.size(); ++k) r.methods[k] = method_of(methods.at(k));
  for (std::size_t k = 0; k < r.table.size(); ++k) {
    r.table[k] = {table.at(k).at(0).get<int>(), table.at(k).at(1).get<std::string>(),
                  table.at(k).at(2).get<std::string>()};
  }
  if (!j.at(5).is_null()) b.error = j.at(5).get<std::string>();
  return b;
}

}  // namespace

std::string encode_runs(std::span<const BatchRun> runs) {
  Json all = Json::array();
  for (const BatchRun& b : runs) all.push_back(run_json(b));
  return all.dump();
}

std::vector<BatchRun> decode_runs(std::string_view text) {
  try {
    const Json all = Json::parse(text);
    if (!all.is_array()) throw std::invalid_argument("the runs' text is not a list");
    std::vector<BatchRun> out;
    out.reserve(all.size());
    for (const Json& run : all) out.push_back(run_of(run));
    return out;
  } catch (const Json::exception& e) {
    throw std::invalid_argument(std::string("the runs' text is damaged: ") + e.what());
  }
}

}  // namespace bruvik
