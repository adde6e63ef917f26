// The frame under a point of the timeline, read from the boxes its layout drew, and what its
// tooltip says: the station, when it was sent and taken off the bus, the frames it overlapped,
// whether the counters counted it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "history/bus_frames.h"
#include "timeline/picture.h"

namespace bruvik {

struct FrameHit {
  BusFrame frame;
  std::vector<BusFrame> partners;  // the frames of other stations it overlapped
  Rect bar;                        // where it is drawn
};

// The frame drawn at the pixel (x, y) of `picture`, or else one drawn a few pixels from it, or
// none. The pixel is looked at in its centre, where a fill decides whether it covers it.
std::optional<FrameHit> frame_at(const TimelinePicture& picture, int x, int y);

std::string frame_tooltip(const FrameHit& hit);

}  // namespace bruvik
