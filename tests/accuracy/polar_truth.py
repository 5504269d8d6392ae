"""Where matplotlib's own polar axes put known (angle, radius) points, for the polar
calibration test: for each of the cases the test names, a line "CASE centre RADIUS" (the
radius at the centre, as matplotlib places it), then one line per point, "CASE ANGLE RADIUS
X Y", X and Y in display pixels (y up).

usage: polar_truth.py OUT.txt
"""
import math
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

CASES = {
    # zero east, counterclockwise, degrees, radius 0 at the centre
    "east-ccw-degrees": dict(zero="E", direction=1, rlim=(0, 10), rscale="linear", unit="degrees"),
    # zero north, clockwise, radians, -40 dB at the centre
    "north-cw-radians-db": dict(zero="N", direction=-1, rlim=(-40, 0), rscale="linear", unit="radians"),
    # a log radius: matplotlib (3.6) takes its radial origin after the log, so the radius
    # at the centre is 10 ** origin (10 for these limits), which the truth file says
    "log-radius": dict(zero="E", direction=1, rlim=(1, 100), rscale="log", unit="degrees"),
}


def points(case, centre):
    low, high = centre, case["rlim"][1]
    radii = [low + (high - low) * f for f in (0.2, 0.45, 0.7, 0.95)]
    if case["rscale"] == "log":
        radii = [low * (high / low) ** f for f in (0.2, 0.45, 0.7, 0.95)]
    angles_deg = [0, 17.5, 63, 95, 141.25, 180, 222, 270.5, 301, 355]
    for i, a in enumerate(angles_deg):
        yield a, radii[i % len(radii)]


def main(out_path):
    with open(out_path, "w") as out:
        for name, case in CASES.items():
            fig = plt.figure(figsize=(6, 6), dpi=100)
            ax = fig.add_subplot(projection="polar")
            ax.set_theta_zero_location(case["zero"])
            ax.set_theta_direction(case["direction"])
            ax.set_rscale(case["rscale"])
            ax.set_rlim(*case["rlim"])
            fig.canvas.draw()
            origin = ax.get_rorigin()
            centre = 10 ** origin if case["rscale"] == "log" else origin
            out.write(f"{name} centre {centre!r}\n")
            for angle_deg, radius in points(case, centre):
                x, y = ax.transData.transform((math.radians(angle_deg), radius))
                angle = angle_deg if case["unit"] == "degrees" else math.radians(angle_deg)
                out.write(f"{name} {angle!r} {radius!r} {x!r} {y!r}\n")
            plt.close(fig)


if __name__ == "__main__":
    main(sys.argv[1])
