#pragma once

#include "platform/Geometry.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// How well the calibration points agree with the transform fitted to them, for showing to
// the user after each change to the calibration.
//
// World values are in fit space: the caller has already turned values on logarithmic axes
// into their logarithms, so every number here, typed or fitted, is what the affine fit saw.
// Screen values are picture pixels (x the column, y the picture height minus the row).

// One calibration point checked against the fit of all points.
struct PointCheck {
    DPoint fitted;       // the fit's world value at the clicked screen point
    DPoint residual;     // typed minus fitted
    DPoint typedAt;      // where the fit puts the typed world value in the picture
    double pixels = 0.0; // distance between the clicked point and typedAt
};

// A point the others disagree with: judged against the fit of all the other points, so that
// a wrong point cannot pull the fit towards itself and hide.
struct Outlier {
    std::size_t index = 0; // 0-based
    DPoint predicted;      // the world value the other points give at its clicked position
    double pixels = 0.0;   // distance between its clicked position and where the others put its typed value
};

struct FitReport {
    std::vector<PointCheck> points;
    double rmsPixels = 0.0; // root mean square of the points' pixel distances
    std::size_t worst = 0;  // index of the largest pixel distance (the first, on a tie)
    bool exact = false;     // exactly three points: the distances are zero by construction
    // Angle, in (0, 180], between the world x and world y directions as the fit draws them in
    // the picture: 90 for a square grid, whether or not the picture is turned or mirrored.
    double axisAngleDegrees = 90.0;
    // Angle of the world x direction from the picture's horizontal, counterclockwise as the
    // picture is seen, in (-180, 180]: 0 for an upright plot, 180 for one whose x axis runs
    // from right to left.
    double rotationDegrees = 0.0;
    // Kept at 1: no comparison of the x and y scales can tell a typing mistake from a plot
    // that is simply drawn that way (see FitDiagnostics.cpp).
    double aspectFactor = 1.0;
    std::optional<Outlier> outlier;
    // Sentences for the user, each complete, in this order: the outlier, then the axes
    // meeting more than 2 degrees away from a right angle. Empty when nothing is wrong.
    std::vector<std::string> warnings;
};

// Fits the pairs (screen[i], world[i]) and checks them. No report when the two lists differ
// in length, there are fewer than three pairs, a value is not a finite number, or the fit
// refuses the points.
//
// With five points or more each point is also compared with the fit of the others; it is
// the outlier when the others put its typed value more than 3 pixels from where it was
// clicked and more than 5 times as far as the others' own root mean square distance (taken
// over their degrees of freedom, the count less three). Of
// several, the one farthest off is named, with its typed value and the others' value shown
// to a tenth of a pixel's worth of each world coordinate, so that the two differ visibly.
std::optional<FitReport> diagnoseFit(const std::vector<DPoint>& screen, const std::vector<DPoint>& world);

// One line for the status bar: "Fit: 5 points, RMS 0.31 px, worst point 3 (0.52 px)",
// followed by ", rotated 4.0 degrees counterclockwise" when the plot's axes are turned half
// a degree or more from the picture's edges; with three points "3 points fit exactly: add a
// fourth to check them".
std::string fitSummary(const FitReport& report);
