#include "extraction/Region.h"

#include <algorithm>
#include <cmath>

Region::Region(PixelBox box) : box_(box)
{
    if (box_.empty())
        box_ = {};
}

const PixelBox& Region::box() const
{
    return box_;
}

void Region::exclude(PixelPoint centre, double radius)
{
    if (box_.empty() || !(radius >= 0.0) || !std::isfinite(centre.column) || !std::isfinite(centre.row))
        return;
    if (mask_.empty()) {
        wordsPerRow_ = (static_cast<std::size_t>(box_.right - box_.left) + 63) / 64;
        mask_.assign(wordsPerRow_ * static_cast<std::size_t>(box_.bottom - box_.top), 0);
    }
    // Pixels whose centres lie within the disc.
    const double top = std::max(std::ceil(centre.row - radius), static_cast<double>(box_.top));
    const double bottom = std::min(std::floor(centre.row + radius), static_cast<double>(box_.bottom - 1));
    for (double y = top; y <= bottom; y += 1.0) {
        const double half = std::sqrt(std::max(0.0, radius * radius - (y - centre.row) * (y - centre.row)));
        const double left = std::max(std::ceil(centre.column - half), static_cast<double>(box_.left));
        const double right = std::min(std::floor(centre.column + half), static_cast<double>(box_.right - 1));
        const auto row = static_cast<std::size_t>(static_cast<int>(y) - box_.top);
        for (double x = left; x <= right; x += 1.0) {
            const auto bit = static_cast<std::size_t>(static_cast<int>(x) - box_.left);
            mask_[row * wordsPerRow_ + bit / 64] |= std::uint64_t{1} << (bit % 64);
            painted_ = true;
        }
    }
}

bool Region::excluded(int column, int row) const
{
    if (mask_.empty() || !box_.contains(column, row))
        return false;
    const auto bit = static_cast<std::size_t>(column - box_.left);
    const auto word = mask_[static_cast<std::size_t>(row - box_.top) * wordsPerRow_ + bit / 64];
    return (word >> (bit % 64)) & 1u;
}

bool Region::contains(int column, int row) const
{
    return box_.contains(column, row) && !excluded(column, row);
}

bool Region::hasExclusions() const
{
    return painted_;
}
