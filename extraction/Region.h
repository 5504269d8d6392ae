#pragma once

#include "extraction/PixelView.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Where extraction looks: a box of the picture less what the user painted out (legends,
// labels). The painted mask is one bit per pixel of the box.
class Region {
  public:
    explicit Region(PixelBox box); // clipped to the picture by the extraction functions
    const PixelBox& box() const;

    // Paints out a disc (centre in pixel coordinates, radius in pixels).
    void exclude(PixelPoint centre, double radius);
    bool excluded(int column, int row) const;
    bool contains(int column, int row) const; // in the box and not painted out
    bool hasExclusions() const;

  private:
    PixelBox box_;
    std::size_t wordsPerRow_ = 0;
    std::vector<std::uint64_t> mask_; // empty until something is painted out
    bool painted_ = false;
};
