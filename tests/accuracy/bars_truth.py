"""Bar charts drawn by matplotlib at sub-pixel places, with their truth in pixels, for the
bar extraction test: for each case a PNG and lines
    size WIDTH HEIGHT
    baseline PIXEL          (the row of value 0 for vertical bars, its column for horizontal)
    bar CENTRE END          (the bar's centre column and end row; row and column turned)
with pixel centres at whole numbers, rows from the top.

usage: bars_truth.py FOLDER
"""
import os
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

WIDTH, HEIGHT, DPI = 640, 480, 100
POSITIONS = [0.93, 2.07, 3.11, 3.94, 5.03, 6.12]
VALUES = [3.3, -1.7, 5.25, 2.1, -0.6, 4.45]


def draw(folder, name, horizontal):
    fig = plt.figure(figsize=(WIDTH / DPI, HEIGHT / DPI), dpi=DPI)
    ax = fig.add_axes([0.1, 0.1, 0.85, 0.85])
    ax.grid(True, color="#b0b0b0", zorder=0)
    if horizontal:
        bars = ax.barh(POSITIONS, VALUES, height=0.55, color="#1f77b4", zorder=2)
        ax.axvline(0, color="black", linewidth=1, zorder=3)
        ax.set_ylim(0, 7)
        ax.set_xlim(-3, 6.5)
    else:
        bars = ax.bar(POSITIONS, VALUES, width=0.55, color="#1f77b4", zorder=2)
        ax.axhline(0, color="black", linewidth=1, zorder=3)
        ax.set_xlim(0, 7)
        ax.set_ylim(-3, 6.5)
    for bar in bars:
        bar.set_snap(False)
        bar.set_antialiased(True)
    fig.canvas.draw()
    to_pixel = ax.transData.transform
    path = os.path.join(folder, name + ".png")
    fig.savefig(path, dpi=DPI)
    with open(os.path.join(folder, name + ".txt"), "w") as out:
        out.write(f"size {WIDTH} {HEIGHT}\n")
        zero = to_pixel((0, 0))
        baseline = zero[0] - 0.5 if horizontal else HEIGHT - zero[1] - 0.5
        out.write(f"baseline {baseline!r}\n")
        for position, value in zip(POSITIONS, VALUES):
            if horizontal:
                x, y = to_pixel((value, position))
                out.write(f"bar {HEIGHT - y - 0.5!r} {x - 0.5!r}\n")
            else:
                x, y = to_pixel((position, value))
                out.write(f"bar {x - 0.5!r} {HEIGHT - y - 0.5!r}\n")
    plt.close(fig)


if __name__ == "__main__":
    draw(sys.argv[1], "bars", False)
    draw(sys.argv[1], "hbars", True)
