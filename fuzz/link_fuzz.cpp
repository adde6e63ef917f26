// Fuzz target: links to a moment. Arbitrary text is read as one, as an address or a fragment,
// and again as the body of a compressed one, so that the inflater sees arbitrary bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "history/experiment_link.h"
#include "history/inflate.h"

namespace {

void check(const bruvik::LinkRead& read) {
  // Text or one sentence, never both, never neither.
  if (read.text.has_value() == !read.refusal.empty()) std::abort();
  if (read.text && read.text->size() > bruvik::kMaxLinkInflated) std::abort();
  if (!read.text && read.refusal.back() != '.') std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  check(bruvik::experiment_text_of_link(bytes));
  // The bytes as deflate data, under a small cap so that the cap is met often.
  std::string out;
  const bruvik::Inflated result = bruvik::inflate_raw(bytes, 4096, out);
  if (out.size() > 4096) std::abort();
  if (result == bruvik::Inflated::Done) {
    std::string again;
    if (bruvik::inflate_raw(bytes, out.size(), again) != bruvik::Inflated::Done || again != out) {
      std::abort();  // what fits the cap exactly must still inflate, to the same bytes
    }
  }
  return 0;
}
