#include "headless/trace.h"

#include <cstring>

#include "model/methods.h"

namespace bruvik {

std::string_view trace_event_name(EventKind kind) {
  switch (kind) {
    case EventKind::Attempt:
      return "attempt";
    case EventKind::Sent:
      return "sent";
    case EventKind::Collision:
      return "collision";
    case EventKind::Busy:
      return "busy";
    case EventKind::Deferred:
      return "deferred";
    case EventKind::FrameEnd:
      return "frame end";
    case EventKind::BusBusy:
      return "bus busy";
    case EventKind::BusIdle:
      return "bus idle";
    case EventKind::MethodEnd:
      return "method end";
    case EventKind::Rearm:
      break;
  }
  return {};
}

void TraceWriter::on_event(const Event& e) {
  const std::string_view name = trace_event_name(e.kind);
  if (name.empty()) return;
  line_ = std::to_string(e.time);
  line_ += ',';
  if (e.method >= 0 && e.method < 5) line_ += methods()[static_cast<std::size_t>(e.method)].code;
  line_ += ',';
  line_ += std::to_string(e.station);
  line_ += ',';
  line_ += name;
  line_ += '\n';
  out_ << line_;
  ++lines_;
}

std::uint64_t fnv1a(std::uint64_t hash, const void* data, std::size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) {
    hash ^= p[i];
    hash *= Fingerprint::kPrime;
  }
  return hash;
}

void Fingerprint::on_event(const Event& e) {
  if (e.method < 0 || e.method >= 5) return;
  const auto k = static_cast<std::size_t>(e.method);
  // Fixed widths, little end first, so that the fingerprint does not depend on struct padding.
  unsigned char bytes[20];
  const auto put = [&bytes](std::size_t at, std::uint64_t v, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) bytes[at + i] = static_cast<unsigned char>(v >> (8 * i));
  };
  put(0, static_cast<std::uint64_t>(e.time), 8);
  put(8, static_cast<std::uint64_t>(e.kind), 1);
  put(9, static_cast<std::uint16_t>(e.timer), 2);
  put(11, static_cast<std::uint8_t>(e.station), 1);
  std::uint64_t value_bits = 0;  // std::bit_cast, which emscripten's library lacks
  std::memcpy(&value_bits, &e.value, sizeof value_bits);
  put(12, value_bits, 8);
  hash_[k] = fnv1a(hash_[k], bytes, sizeof bytes);
  ++count_[k];
}

}  // namespace bruvik
