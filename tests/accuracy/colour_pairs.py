#!/usr/bin/python3
"""Draws one plot of two colours that matplotlib's default styles put side by side, for the
colour-pairs test: the colour looked for and another it must not be taken for.

    colour_pairs.py CASE FOLDER    writes FOLDER/CASE.png (or .jpg) and FOLDER/CASE.truth
    colour_pairs.py --list         prints the cases, one a line

The truth comes from matplotlib's own transform, in the extraction's pixel coordinates
(the centre of pixel column c, row r from the top, at c, r):

    picture NAME                    the picture's file name in FOLDER
    size WIDTH HEIGHT
    box LEFT TOP RIGHT BOTTOM       the inside of the axes, clear of their frame
    mode line|markers
    target #RRGGBB
    curve target|other X Y X Y ...  a drawn polyline's centreline
    marker target|other X Y         a marker's centre
"""
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

DPI = 100

# Line cases: the colour looked for drawn over half the x range, the other across all of
# it, crossing it. Name: (mode, looked for, other). A name ending in "-jpeg" is the same
# plot saved as JPEG at quality 75, which keeps colour at half resolution.
CASES = {
    "red-brown-lines": ("line", "#d62728", "#8c564b"),
    "lime-green-lines": ("line", "#00ff00", "#2ca02c"),
    "blue-purple-lines": ("line", "#0000ff", "#9467bd"),
    "cyan-blue-lines": ("line", "#17becf", "#1f77b4"),
    "black-grey-lines": ("line", "#000000", "#7f7f7f"),
    "red-brown-markers": ("markers", "#d62728", "#8c564b"),
    "black-grey-markers": ("markers", "#000000", "#7f7f7f"),
}


def to_pixels(fig, display):
    """matplotlib's display coordinates (from the figure's lower left corner, pixel edges
    at whole numbers) to the extraction's."""
    height = fig.canvas.get_width_height()[1]
    return np.column_stack([display[:, 0] - 0.5, height - display[:, 1] - 0.5])


def draw(name, folder):
    jpeg = name.endswith("-jpeg")
    mode, looked_for, other = CASES[name.removesuffix("-jpeg")]
    fig, ax = plt.subplots(figsize=(6.4, 4.8), dpi=DPI)
    truth = []
    grey = looked_for == "#000000"
    if grey:
        # The default grid colour: a blend of black and white, like the grey markers.
        ax.grid(True, color="#b0b0b0")
    rng = np.random.default_rng(sum(map(ord, name)))
    if mode == "line":
        x = np.linspace(0.0, 10.0, 400)
        half = x <= 5.0
        ax.plot(x, np.sin(0.9 * x + 0.3) + 0.15 * x, color=other)
        ax.plot(x[half], np.cos(1.1 * x[half]) + 0.1 * x[half], color=looked_for)
        if grey:
            ax.plot(rng.uniform(0.3, 9.7, 25), rng.uniform(-1.2, 2.4, 25), "o", color=other)
        ax.set_xlim(-0.5, 10.5)
        ax.set_ylim(-1.6, 2.9)
    else:
        # A jittered grid, so that no two markers touch; each takes one of the two colours.
        cells = [(i, j) for i in range(12) for j in range(7)]
        colours = rng.permutation([looked_for, other] * (len(cells) // 2))
        for (i, j), colour in zip(cells, colours):
            ax.plot(i + rng.uniform(-0.2, 0.2), j + rng.uniform(-0.2, 0.2), "o", color=colour)
        ax.set_xlim(-1.0, 12.0)
        ax.set_ylim(-1.0, 7.0)
    fig.canvas.draw()

    width, height = fig.canvas.get_width_height()
    picture = f"{name}.{'jpg' if jpeg else 'png'}"
    truth.append(f"picture {picture}")
    truth.append(f"size {width} {height}")
    # The axes' inside, three pixels clear of the frame's stroke.
    (left, bottom), (right, top) = ax.get_window_extent().get_points()
    truth.append(f"box {int(np.ceil(left)) + 3} {int(np.ceil(height - top)) + 3} "
                 f"{int(np.floor(right)) - 3} {int(np.floor(height - bottom)) - 3}")
    truth.append(f"mode {mode}")
    truth.append(f"target {looked_for}")
    gridlines = ax.get_xgridlines() + ax.get_ygridlines() if grey else []
    for line in ax.get_lines() + gridlines:
        if not line.get_visible():
            continue
        points = to_pixels(fig, line.get_transform().transform(line.get_xydata()))
        role = "target" if matplotlib.colors.same_color(line.get_color(), looked_for) else "other"
        if line.get_linestyle() in ("None", "", " "):
            for column, row in points:
                truth.append(f"marker {role} {column:.3f} {row:.3f}")
        else:
            truth.append(f"curve {role} " + " ".join(f"{v:.3f}" for v in points.ravel()))
    fig.savefig(f"{folder}/{picture}", dpi=DPI, **({"pil_kwargs": {"quality": 75}} if jpeg else {}))
    with open(f"{folder}/{name}.truth", "w", encoding="ascii") as out:
        out.write("\n".join(truth) + "\n")


def main():
    if sys.argv[1:] == ["--list"]:
        print("\n".join(CASES))
        return 0
    if len(sys.argv) != 3 or sys.argv[1].removesuffix("-jpeg") not in CASES:
        print(f"usage: {sys.argv[0]} CASE FOLDER, with CASE one of {', '.join(CASES)}", file=sys.stderr)
        return 2
    draw(sys.argv[1], sys.argv[2])
    return 0


if __name__ == "__main__":
    sys.exit(main())
