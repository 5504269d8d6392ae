#pragma once

#include "platform/Geometry.h"

#include <string>

// The calibration model: the pairs of screen and world points the user marked, and the
// affine screen-to-world transform fitted to them by least squares,
//
//     world = A · screen + (xoffset, yoffset).
//
// Pair i is screen point i with world point i. The first pair anchors the fit: the
// matrix is solved from every pair's difference to it, the offset is the mean residual.
class CartesianPlotmeter {
  public:
    CartesianPlotmeter();
    ~CartesianPlotmeter();
    CartesianPlotmeter(const CartesianPlotmeter&) = delete;
    CartesianPlotmeter& operator=(const CartesianPlotmeter&) = delete;

    // Empties both point lists. The transform stays in force.
    CartesianPlotmeter& clear();
    CartesianPlotmeter& addScreenPoint(DPoint point);
    CartesianPlotmeter& addWorldPoint(DPoint point);

    // Fits the transform to the pairs held. Refuses, with the reason in problem() and the
    // previous transform left in force, when the two lists differ in
    // length, when there are fewer than three pairs, or when the screen or the world
    // points do not span the plane (all on or nearly on one line), since
    // no affine map can then be recovered.
    [[nodiscard]] bool findTransform();
    // Why the last fit was refused ("Calibration screen points do not span the plane");
    // empty after a fit that succeeded.
    const std::string& problem() const { return problem_; }

    DPoint calcWorldFromScreen(DPoint screenPoint) const;
    DPoint calcScreenFromWorld(DPoint worldPoint) const;

    int screenCount() const { return nscreen; }
    int worldCount() const { return nworld; }
    DPoint screenPoint(int i) const { return {screen[i][0], screen[i][1]}; }
    DPoint worldPoint(int i) const { return {world[i][0], world[i][1]}; }
    bool hasScreenList() const { return screen != nullptr; }
    bool hasWorldList() const { return world != nullptr; }

    // The fitted transform, entry by entry; meaningful after the first successful fit.
    double a(int row, int col) const { return A[row][col]; }
    double aInverse(int row, int col) const { return Ainverse[row][col]; }
    double aTrans(int row, int col) const { return Atrans[row][col]; }
    double xOffset() const { return xoffset; }
    double yOffset() const { return yoffset; }

  private:
    static void append(double**& list, int& count, int& capacity, DPoint point);
    static void release(double**& list, int& count, int& capacity);

    int nscreen = 0;
    int nworld = 0;
    double** screen = nullptr;
    double** world = nullptr;
    int screenCapacity_ = 0;
    int worldCapacity_ = 0;
    double** A;
    double** Ainverse;
    double** Atrans;
    double xoffset = 0.0;
    double yoffset = 0.0;
    std::string problem_;
};
