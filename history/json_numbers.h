// nlohmann/json for the whole program, with one change: doubles are written as the shortest
// text that reads back, as std::to_chars writes it (100, 1e+05, -0), which the outputs have
// always carried, not nlohmann's own way (100.0, 100000.0, -0.0). Every file that uses
// nlohmann includes it through this header, so that all of them see the same writer.
#pragma once

#include <nlohmann/json.hpp>

NLOHMANN_JSON_NAMESPACE_BEGIN
namespace detail {
template <>
[[gnu::nonnull(1, 2), gnu::returns_nonnull]] char* to_chars<double>(char* first, const char* last,
                                                                    double value);
}  // namespace detail
NLOHMANN_JSON_NAMESPACE_END
