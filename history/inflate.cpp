#include "history/inflate.h"

#include <array>
#include <cstdint>
#include <utility>

namespace bruvik {
namespace {

// Thrown while inflating, caught once.
struct Damaged {};
struct OverCap {};

// The input's bits, each byte's lowest first, as deflate packs them.
class Bits {
 public:
  explicit Bits(std::string_view in) : in_(in) {}

  unsigned take(int n) {  // n <= 16
    while (count_ < n) {
      if (at_ == in_.size()) throw Damaged{};
      held_ |= static_cast<std::uint32_t>(static_cast<unsigned char>(in_[at_++])) << count_;
      count_ += 8;
    }
    const unsigned value = held_ & ((1u << n) - 1);
    held_ >>= n;
    count_ -= n;
    return value;
  }
  // Only whole bytes are ever held beyond need, so what is held is the rest of the byte begun:
  // a stored block starts after it.
  void skip_to_byte() {
    held_ = 0;
    count_ = 0;
  }
  std::string_view bytes(std::size_t n) {
    if (in_.size() - at_ < n) throw Damaged{};
    const std::string_view taken = in_.substr(at_, n);
    at_ += n;
    return taken;
  }
  bool at_end() const { return at_ == in_.size(); }

 private:
  std::string_view in_;
  std::size_t at_ = 0;
  std::uint32_t held_ = 0;
  int count_ = 0;
};

constexpr int kMaxBits = 15;

// A canonical Huffman code: how many codes of each length, and the symbols in code order.
struct Code {
  std::array<std::uint16_t, kMaxBits + 1> count{};
  std::array<std::uint16_t, 288> symbol{};
};

// An over-subscribed set of lengths is no code. An incomplete one is refused as zlib refuses it
// (and so a browser): allowed only as a lone one-bit code of the literal or distance alphabet,
// or as no code at all, which fails when it is used.
Code code_of(const std::uint8_t* lengths, int n, bool lone_allowed) {
  Code c;
  for (int s = 0; s < n; ++s) ++c.count[lengths[s]];
  int left = 1;
  for (int len = 1; len <= kMaxBits; ++len) {
    left = (left << 1) - c.count[len];
    if (left < 0) throw Damaged{};
  }
  const int used = n - c.count[0];
  if (left > 0 && used > 0 && !(lone_allowed && used == 1 && c.count[1] == 1)) throw Damaged{};
  std::array<std::uint16_t, kMaxBits + 1> next{};
  for (int len = 1; len < kMaxBits; ++len) next[len + 1] = next[len] + c.count[len];
  for (int s = 0; s < n; ++s) {
    if (lengths[s] != 0) c.symbol[next[lengths[s]]++] = static_cast<std::uint16_t>(s);
  }
  return c;
}

int decode(Bits& bits, const Code& c) {
  int code = 0, first = 0, index = 0;
  for (int len = 1; len <= kMaxBits; ++len) {
    code |= static_cast<int>(bits.take(1));
    const int count = c.count[len];
    if (code - count < first) return c.symbol[index + (code - first)];
    index += count;
    first = (first + count) << 1;
    code <<= 1;
  }
  throw Damaged{};  // a code the lengths left unused
}

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                       15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                       67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistanceExtra = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                         4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                         9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void codes(Bits& bits, const Code& literals, const Code& distances, std::size_t cap,
           std::string& out) {
  for (;;) {
    const int symbol = decode(bits, literals);
    if (symbol < 256) {
      if (out.size() == cap) throw OverCap{};
      out.push_back(static_cast<char>(symbol));
      continue;
    }
    if (symbol == 256) return;
    const std::size_t l = static_cast<std::size_t>(symbol - 257);
    if (l >= kLengthBase.size()) throw Damaged{};  // 286 and 287: in the fixed code, never valid
    const std::size_t length = kLengthBase[l] + bits.take(kLengthExtra[l]);
    const std::size_t d = static_cast<std::size_t>(decode(bits, distances));
    if (d >= kDistanceBase.size()) throw Damaged{};
    const std::size_t distance = kDistanceBase[d] + bits.take(kDistanceExtra[d]);
    if (distance > out.size()) throw Damaged{};  // back before the first byte
    if (length > cap - out.size()) throw OverCap{};
    const std::size_t from = out.size() - distance;
    // Byte by byte: a copy may overlap what it writes.
    for (std::size_t k = 0; k < length; ++k) out.push_back(out[from + k]);
  }
}

void stored(Bits& bits, std::size_t cap, std::string& out) {
  bits.skip_to_byte();
  const std::string_view head = bits.bytes(4);
  const auto byte = [&](int k) {
    return static_cast<unsigned>(static_cast<unsigned char>(head[k]));
  };
  const unsigned length = byte(0) | byte(1) << 8;
  if ((byte(2) | byte(3) << 8) != (~length & 0xffffu)) throw Damaged{};
  const std::string_view body = bits.bytes(length);
  if (body.size() > cap - out.size()) throw OverCap{};
  out.append(body);
}

void fixed(Bits& bits, std::size_t cap, std::string& out) {
  static const auto [literals, distances] = [] {
    std::array<std::uint8_t, 288> lengths{};
    for (std::size_t s = 0; s < lengths.size(); ++s) {
      lengths[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
    }
    std::array<std::uint8_t, 32> five{};
    five.fill(5);
    return std::pair{code_of(lengths.data(), 288, false), code_of(five.data(), 32, false)};
  }();
  codes(bits, literals, distances, cap, out);
}

void dynamic(Bits& bits, std::size_t cap, std::string& out) {
  const int literal_count = static_cast<int>(bits.take(5)) + 257;
  const int distance_count = static_cast<int>(bits.take(5)) + 1;
  const int code_count = static_cast<int>(bits.take(4)) + 4;
  if (literal_count > 286 || distance_count > 30) throw Damaged{};
  static constexpr std::array<std::uint8_t, 19> kOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                          11, 4,  12, 3, 13, 2, 14, 1, 15};
  std::array<std::uint8_t, 19> code_lengths{};
  for (int k = 0; k < code_count; ++k) {
    code_lengths[kOrder[static_cast<std::size_t>(k)]] = static_cast<std::uint8_t>(bits.take(3));
  }
  const Code lengths_code = code_of(code_lengths.data(), 19, false);

  std::array<std::uint8_t, 286 + 30> lengths{};
  const int total = literal_count + distance_count;
  int k = 0;
  while (k < total) {
    const int symbol = decode(bits, lengths_code);
    if (symbol < 16) {
      lengths[static_cast<std::size_t>(k++)] = static_cast<std::uint8_t>(symbol);
      continue;
    }
    std::uint8_t repeated = 0;
    int times = 0;
    if (symbol == 16) {
      if (k == 0) throw Damaged{};  // nothing to repeat
      repeated = lengths[static_cast<std::size_t>(k - 1)];
      times = 3 + static_cast<int>(bits.take(2));
    } else if (symbol == 17) {
      times = 3 + static_cast<int>(bits.take(3));
    } else {
      times = 11 + static_cast<int>(bits.take(7));
    }
    if (times > total - k) throw Damaged{};
    while (times-- > 0) lengths[static_cast<std::size_t>(k++)] = repeated;
  }
  if (lengths[256] == 0) throw Damaged{};  // a block that cannot end
  codes(bits, code_of(lengths.data(), literal_count, true),
        code_of(lengths.data() + literal_count, distance_count, true), cap, out);
}

}  // namespace

Inflated inflate_raw(std::string_view deflated, std::size_t cap, std::string& out) {
  out.clear();
  Bits bits(deflated);
  try {
    bool last = false;
    while (!last) {
      last = bits.take(1) == 1;
      switch (bits.take(2)) {
        case 0:
          stored(bits, cap, out);
          break;
        case 1:
          fixed(bits, cap, out);
          break;
        case 2:
          dynamic(bits, cap, out);
          break;
        default:
          throw Damaged{};
      }
    }
  } catch (const Damaged&) {
    return Inflated::Damaged;
  } catch (const OverCap&) {
    return Inflated::OverCap;
  }
  // Only the last byte's padding may follow the last block: a browser refuses more.
  return bits.at_end() ? Inflated::Done : Inflated::Damaged;
}

}  // namespace bruvik
