#pragma once

// Whether a 2 x 2 matrix can be trusted to an inversion: every entry finite and the
// determinant not negligible against the products it is made of. The measure
// |det| / (|m00·m11| + |m01·m10|) does not change when a row or a column is scaled, so
// plots in any units are judged alike; the tolerance allows for the single precision
// in which the points were typed and stored.
bool spansThePlane(const double* const* m);
