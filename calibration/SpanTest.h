#pragma once

// Whether a 2 x 2 matrix can be trusted to an inversion: every entry finite and the
// determinant not negligible against the products it is made of. The measure
// |det| / (|m00·m11| + |m01·m10|) does not change when a row or a column is scaled, so
// plots in any units are judged alike; the tolerance allows for the single precision
// in which the points were typed and stored. The inverse must also stay finite.
bool spansThePlane(const double* const* m);

// Whether every entry of a 2 x 2 matrix is finite. The inversion works on rows scaled by
// their largest entry, so rows of very different magnitude can still overflow there.
bool isFinite(const double* const* m);
