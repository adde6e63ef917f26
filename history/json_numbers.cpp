#include "history/json_numbers.h"

#include "model/numtext.h"

NLOHMANN_JSON_NAMESPACE_BEGIN
namespace detail {
// nlohmann has already written "null" for values that are not finite.
template <>
[[gnu::nonnull(1, 2), gnu::returns_nonnull]] char* to_chars<double>(
    char* first, [[maybe_unused]] const char* last, double value) {
  // nlohmann's buffer holds 64 characters, twice the most this writes.
  return bruvik::numtext::write_round_trip(first, value);
}
}  // namespace detail
NLOHMANN_JSON_NAMESPACE_END
