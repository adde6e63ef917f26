#include "history/json_numbers.h"

#include <charconv>

NLOHMANN_JSON_NAMESPACE_BEGIN
namespace detail {
// nlohmann has already written "null" for values that are not finite.
template <>
[[gnu::nonnull(1, 2), gnu::returns_nonnull]] char* to_chars<double>(char* first, const char* last,
                                                                    double value) {
  return std::to_chars(first, first + (last - first), value).ptr;
}
}  // namespace detail
NLOHMANN_JSON_NAMESPACE_END
