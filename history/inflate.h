// Raw deflate (RFC 1951, no zlib header or trailer) inflated: what a compressed link to a moment
// holds. Small and checked at every step, since a link is text anyone can write; the output is
// capped, so that a few kilobytes cannot ask for gigabytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace bruvik {

enum class Inflated {
  Done,
  Damaged,  // not deflate, cut short, or followed by more bytes
  OverCap,  // it would inflate to more than the cap
};

// The inflated bytes are written to `out` (only some of them when not Done).
Inflated inflate_raw(std::string_view deflated, std::size_t cap, std::string& out);

}  // namespace bruvik
