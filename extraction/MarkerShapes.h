#pragma once

// What markers mode reads from a group's shape (MarkerGroups.h), and the marker templates
// it finds markers with where they touch a line or a label. Internal to extraction/.
#include "extraction/MarkerGroups.h"

#include <functional>
#include <optional>
#include <vector>

// A group's weights over its bounds, 0 at pixels of the bounds that are not the group's.
class Patch {
  public:
    Patch(const PixelView& picture, const ColourMatch& colour, const Region& region, const MarkerGroup& group);
    float at(int column, int row) const;
    // Between pixels, weighted by nearness.
    double between(double column, double row) const;
    const PixelBox& box() const { return box_; }

  private:
    PixelBox box_;
    std::vector<float> weights_;
};

struct Shape {
    PixelPoint centre;    // weighted
    double size = 0.0;    // its diameter (a square's side): its larger extent less a pixel of smoothing
    double aspect = 0.0;  // its smaller extent over its larger
    double symmetry = 0.0; // how much of its weight its mirror image about its centre (the
                           // best of through the centre, across, and along) covers: 1 when whole
    double fill = 0.0;    // its weight over its size squared: about 1 for a filled square, less when hollow
};
Shape shapeOf(const MarkerGroup& group, const Patch& patch);

// The weight of the picture's pixel at (column, row), as markers mode reads it.
using WeightAt = std::function<float(int column, int row)>;

// The average of markers of one kind, centred on their centres, to find others like them
// among the pixels of lines and labels they touch.
class MarkerTemplate {
  public:
    // From examples: their patches and centres. Nothing from none.
    static std::optional<MarkerTemplate> average(const std::vector<const Patch*>& patches,
                                                 const std::vector<PixelPoint>& centres, double size);

    // The share of the template's weight that the picture holds about `centre`: 1 where a
    // whole marker of the kind lies there, whatever else lies beside it.
    double cover(const WeightAt& weight, PixelPoint centre) const;
    // How crowded the ring of pixels just around the template, laid at `centre`, is: the
    // share of them that match. A marker on a line or beside a label stands out from a
    // ring about it that lines cross; a place in a large filled shape does not.
    double crowded(const WeightAt& weight, PixelPoint centre) const;
    // The share of a group's own weight (its patch) that the template, laid at `centre`,
    // covers: 1 for a marker of the kind, less for a character of text the kind's size.
    double within(const Patch& patch, PixelPoint centre) const;
    // The centre of the marker found near `start`: the weighted centre of what the picture
    // and the template, laid on it, have in common, until it settles.
    PixelPoint settle(const WeightAt& weight, PixelPoint start) const;
    double size() const { return size_; }
    double weight() const { return total_; }

  private:
    double at(double dx, double dy) const; // between the grid's points, weighted by nearness
    int half_ = 0;                         // the grid reaches this many pixels each way
    std::vector<float> weights_;           // (2 half + 1)^2, a pixel apart
    double total_ = 0.0;
    double size_ = 0.0;
};
