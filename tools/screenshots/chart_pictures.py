#!/usr/bin/python3
"""Draws the pictures of the README's chart screenshots with matplotlib, and where their
calibration points and curves lie, for make_chart_screenshots.

    chart_pictures.py FOLDER

writes FOLDER/printed.png (a black-and-white figure as papers print it: solid, dashed and
dotted curves over gridlines, a legend), FOLDER/polar.png (an antenna pattern in dB, -40 at
the centre) and FOLDER/bars.png (bars up and down from zero), and FOLDER/points.txt, one
item a line, in picture coordinates (pixel centres at whole numbers, y down):

    calibrate NAME X Y WORLD_X WORLD_Y    a calibration point of picture NAME
    pick NAME X Y                         a point on the curve to extract
    measure NAME X1 Y1 X2 Y2              two points to measure the distance between
"""
import math
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

matplotlib.rcParams["font.size"] = 10


def picture_point(fig, ax, x, y):
    px, py = ax.transData.transform((x, y))
    height = fig.canvas.get_width_height()[1]
    return px - 0.5, height - py - 0.5


def main(folder):
    lines = []

    fig, ax = plt.subplots(figsize=(8, 5.6), dpi=100)
    t = np.linspace(0, 10, 400)
    ax.plot(t, 2 + 1.5 * np.sin(t / 1.6), "k-", lw=1.2, label="measured")
    ax.plot(t, 1.2 + 0.25 * t, "k--", lw=1.2, label="model")
    ax.plot(t, 3.5 - 0.3 * t + 0.4 * np.cos(t), "k:", lw=1.5, label="reference")
    ax.set_xlim(0, 10)
    ax.set_ylim(0, 5)
    ax.grid(True, color="k", lw=0.5)
    ax.legend(loc="upper right", facecolor="white", framealpha=1)
    ax.set_xlabel("time (s)")
    ax.set_ylabel("signal (mV)")
    fig.canvas.draw()
    for x, y in ((0, 0), (10, 0), (0, 5), (10, 5)):
        lines.append("calibrate printed %.3f %.3f %g %g" % (*picture_point(fig, ax, x, y), x, y))
    lines.append("pick printed %.3f %.3f" % picture_point(fig, ax, 5.1, 1.2 + 0.25 * 5.1))
    # From the solid curve's peak to its trough, to measure.
    peak = picture_point(fig, ax, 1.6 * math.pi / 2, 3.5)
    trough = picture_point(fig, ax, 1.6 * 3 * math.pi / 2, 0.5)
    lines.append("measure printed %.3f %.3f %.3f %.3f" % (*peak, *trough))
    fig.savefig(f"{folder}/printed.png")
    plt.close(fig)

    fig = plt.figure(figsize=(6.4, 6.4), dpi=100)
    ax = fig.add_subplot(projection="polar")
    theta = np.linspace(0, 2 * math.pi, 721)
    pattern = 20 * np.log10(np.maximum(np.abs(np.cos(theta) ** 3 * (1 + 0.3 * np.cos(3 * theta))), 1e-2) / 1.3)
    ax.plot(theta, pattern, color="#1f77b4", lw=1.5)
    ax.set_rlim(-40, 0)
    ax.set_rticks([-30, -20, -10, 0])
    fig.canvas.draw()
    for degrees, radius in ((0, 0), (90, 0), (180, 0), (270, 0)):
        lines.append("calibrate polar %.3f %.3f %g %g"
                     % (*picture_point(fig, ax, math.radians(degrees), radius), degrees, radius))
    lines.append("pick polar %.3f %.3f" % picture_point(fig, ax, math.pi / 4, pattern[90]))
    fig.savefig(f"{folder}/polar.png")
    plt.close(fig)

    fig, ax = plt.subplots(figsize=(8, 5.6), dpi=100)
    years = np.arange(2014, 2026)
    change = np.array([2.1, -1.3, 3.4, 0.8, -2.6, 1.9, -0.7, 4.2, 2.8, -1.6, 0.5, 3.1])
    ax.bar(years, change, width=0.7, color="#2ca02c")
    ax.axhline(0, color="k", lw=0.8)
    ax.set_xlim(2013, 2026)
    ax.set_ylim(-4, 5)
    ax.set_ylabel("change (%)")
    fig.canvas.draw()
    for x, y in ((2013, -4), (2026, -4), (2013, 5)):
        lines.append("calibrate bars %.3f %.3f %g %g" % (*picture_point(fig, ax, x, y), x, y))
    lines.append("pick bars %.3f %.3f" % picture_point(fig, ax, 2016, 1.7))
    fig.savefig(f"{folder}/bars.png")
    plt.close(fig)

    with open(f"{folder}/points.txt", "w") as out:
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main(sys.argv[1])
