#include "history/experiment_link.h"

#include <array>
#include <cstdint>
#include <utility>

#include "history/inflate.h"
#include "history/trim.h"

namespace bruvik {
namespace {

// Unpadded base64url as the page reads it (atob): only its 64 letters, never a length that
// leaves a lone letter; the unused low bits of the last letter are not looked at.
std::optional<std::string> bytes_of(std::string_view body) {
  static const std::array<std::int8_t, 256> kValue = [] {
    std::array<std::int8_t, 256> v{};
    v.fill(-1);
    constexpr std::string_view kLetters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    for (std::size_t k = 0; k < kLetters.size(); ++k) {
      v[static_cast<unsigned char>(kLetters[k])] = static_cast<std::int8_t>(k);
    }
    return v;
  }();
  if (body.size() % 4 == 1) return std::nullopt;
  std::string out;
  out.reserve(body.size() / 4 * 3 + 2);
  std::uint32_t held = 0;
  int count = 0;
  for (const char ch : body) {
    const int value = kValue[static_cast<unsigned char>(ch)];
    if (value < 0) return std::nullopt;
    held = (held << 6) | static_cast<std::uint32_t>(value);
    count += 6;
    if (count >= 8) {
      count -= 8;
      out.push_back(static_cast<char>((held >> count) & 0xffu));
    }
  }
  return out;
}

// Strict UTF-8, as a browser's fatal decoder takes it: no overlong forms, no surrogates, nothing
// past U+10FFFF.
bool is_utf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char lead = static_cast<unsigned char>(s[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    std::size_t more = 0;
    unsigned char low = 0x80, high = 0xbf;  // the range of the byte after the lead
    if (lead >= 0xc2 && lead <= 0xdf) {
      more = 1;
    } else if (lead >= 0xe0 && lead <= 0xef) {
      more = 2;
      if (lead == 0xe0) low = 0xa0;
      if (lead == 0xed) high = 0x9f;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
      more = 3;
      if (lead == 0xf0) low = 0x90;
      if (lead == 0xf4) high = 0x8f;
    } else {
      return false;
    }
    if (s.size() - i - 1 < more) return false;
    for (std::size_t k = 1; k <= more; ++k) {
      const unsigned char next = static_cast<unsigned char>(s[i + k]);
      if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xbf)) return false;
    }
    i += more + 1;
  }
  return true;
}

LinkRead refused(std::string sentence) {
  return {std::nullopt, std::move(sentence)};
}

}  // namespace

LinkRead experiment_text_of_link(std::string_view link) {
  link = trimmed(link);
  const std::size_t hash = link.find('#');
  const std::string_view fragment = hash == std::string_view::npos ? link : link.substr(hash);
  // Checked first, so that no more than this is ever decoded.
  if (fragment.size() > kMaxLinkBytes) {
    return refused("This link is longer than 64 KiB, the most a link to a moment may be.");
  }
  const std::string_view kind = fragment.substr(0, 3);
  if (kind != "#e=" && kind != "#z=") {
    return refused("This link holds no experiment: it must begin with #e= or #z=.");
  }
  std::optional<std::string> bytes = bytes_of(fragment.substr(3));
  if (!bytes) return refused("This link is damaged: it is not base64url.");
  if (kind == "#z=") {
    std::string inflated;
    switch (inflate_raw(*bytes, kMaxLinkInflated, inflated)) {
      case Inflated::Done:
        bytes = std::move(inflated);
        break;
      case Inflated::Damaged:
        return refused("This link is damaged: its experiment does not inflate.");
      case Inflated::OverCap:
        return refused(
            "This link's experiment inflates to more than 4 MiB, which no experiment does.");
    }
  }
  if (!is_utf8(*bytes)) return refused("This link is damaged: its experiment is not UTF-8 text.");
  return {std::move(bytes), {}};
}

bool looks_like_link(std::string_view name) {
  return name.find("#e=") != std::string_view::npos || name.find("#z=") != std::string_view::npos;
}

}  // namespace bruvik
