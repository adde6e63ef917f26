// Text measured without any toolkit, from a table of Liberation Sans's advances (the widths of
// Arial, so most viewers of an SVG draw it alike). Kerning is left out: a measured text may come
// out a little wider than drawn, never narrower.
#pragma once

#include "timeline/picture.h"

namespace bruvik {

class SansMetrics : public TextMeasure {
 public:
  double width(const TextFont& font, std::string_view text) const override;
  double ascent(const TextFont& font) const override;
  double descent(const TextFont& font) const override;
};

}  // namespace bruvik
