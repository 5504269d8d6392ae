#!/usr/bin/python3
"""Draws plots as papers print them, with their truth, for the extraction's accuracy test
and benchmark (tools/plots/PrintedPlots.h reads what it writes).

    printed_plots.py FOLDER SEED [--jpeg] [--dpi D]

writes, in FOLDER, three pictures (PNG, or JPEG at quality 75) and the truth of each:

    lines      black curves, solid, dashed, dotted and dash-dot, that cross each other,
               over black gridlines, with ticks inside the frame, a legend and a note
    crossing   two red curves that cross at 15 degrees
    markers    black hollow circles and filled squares among labels and notes, some
               touching a black line drawn through them

The truth is in the extraction's pixel coordinates (the centre of pixel column c, row r
from the top, at c, r), one item a line:

    picture NAME                      the picture's file name in FOLDER
    size WIDTH HEIGHT
    box LEFT TOP RIGHT BOTTOM         where to look: the axes, frame and ticks included
    colour #RRGGBB                    the colour of the curves or markers
    curve STYLE X Y X Y ...           a curve's centreline (STYLE solid, dashed, ...)
    line X Y X Y ...                  anything else drawn in that colour as a line: the
                                      frame, gridlines, ticks, the legend's samples
    marker circle|square X Y SIZE     a marker's centre and diameter (a square's side)
    text LEFT TOP RIGHT BOTTOM        what a piece of text covers

matplotlib's own markers are placed on whole pixels; these are patches at sub-pixel places.
"""
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402
from matplotlib.patches import Circle, Rectangle  # noqa: E402
from matplotlib.transforms import IdentityTransform  # noqa: E402

# The truth is the path as given: no vertex dropped for lying within a ninth of a pixel.
matplotlib.rcParams["path.simplify"] = False
matplotlib.rcParams["font.size"] = 9


def pixel_points(fig, display):
    """matplotlib's display coordinates (from the lower left, pixel edges at whole numbers)
    to the extraction's."""
    height = fig.canvas.get_width_height()[1]
    display = np.asarray(display, dtype=float).reshape(-1, 2)
    return np.column_stack([display[:, 0] - 0.5, height - display[:, 1] - 0.5])


def numbers(points):
    return " ".join(f"{v:.3f}" for v in np.asarray(points).ravel())


class Truth:
    def __init__(self, fig, name, jpeg):
        self.fig = fig
        self.name = name
        self.picture = f"{name}.{'jpg' if jpeg else 'png'}"
        self.jpeg = jpeg
        self.items = []

    def artist_line(self, line, kind):
        points = pixel_points(self.fig, line.get_transform().transform(line.get_xydata()))
        self.items.append(f"{kind} {numbers(points)}")

    def texts(self, artists):
        renderer = self.fig.canvas.get_renderer()
        height = self.fig.canvas.get_width_height()[1]
        for artist in artists:
            if not artist.get_visible() or not artist.get_text():
                continue
            (x0, y0), (x1, y1) = artist.get_window_extent(renderer).get_points()
            self.items.append(f"text {x0 - 0.5:.1f} {height - y1 - 0.5:.1f} {x1 - 0.5:.1f} {height - y0 - 0.5:.1f}")

    def frame_and_grid(self, ax):
        for line in ax.get_xgridlines() + ax.get_ygridlines():
            if line.get_visible():
                self.artist_line(line, "line")
        # The frame, as the four sides of the axes' box.
        (x0, y0), (x1, y1) = ax.get_window_extent().get_points()
        corners = [(x0, y0), (x1, y0), (x1, y1), (x0, y1), (x0, y0)]
        self.items.append(f"line {numbers(pixel_points(self.fig, corners))}")

    def save(self, ax, folder, colour):
        width, height = self.fig.canvas.get_width_height()
        (x0, y0), (x1, y1) = ax.get_window_extent().get_points()
        # The axes with their frame and the ticks inside it, two pixels beyond the frame,
        # as a box between calibration points clicked on the axes would reach.
        box = (int(np.floor(x0)) - 2, int(np.floor(height - y1)) - 2, int(np.ceil(x1)) + 2,
               int(np.ceil(height - y0)) + 2)
        head = [f"picture {self.picture}", f"size {width} {height}", "box {} {} {} {}".format(*box),
                f"colour {colour}"]
        self.fig.savefig(f"{folder}/{self.picture}", dpi=self.fig.dpi,
                         **({"pil_kwargs": {"quality": 75}} if self.jpeg else {}))
        with open(f"{folder}/{self.name}.truth", "w", encoding="ascii") as out:
            out.write("\n".join(head + self.items) + "\n")
        plt.close(self.fig)


def paper_axes(dpi, rng):
    fig, ax = plt.subplots(figsize=(6.4, 4.8), dpi=dpi)
    fig.subplots_adjust(left=0.11, right=0.97, bottom=0.11, top=0.96)
    ax.tick_params(direction="in", top=True, right=True, colors="black")
    for spine in ax.spines.values():
        spine.set_color("black")
    return fig, ax


def crossings_are_clear(xs, ys, least_angle):
    """Whether every two curves (display pixels, sampled at xs) cross at no less than
    least_angle degrees and otherwise keep apart: closer than 8 px only near a crossing."""
    for i in range(len(ys)):
        for j in range(i + 1, len(ys)):
            apart = ys[i] - ys[j]
            slope_i, slope_j = np.gradient(ys[i], xs), np.gradient(ys[j], xs)
            angle = np.degrees(np.abs(np.arctan(slope_i) - np.arctan(slope_j)))
            near = np.abs(apart) < 8.0
            # Near each other only where they cross steeply enough to part within 40 px.
            if np.any(near & (angle < least_angle)):
                return False
    return True


def draw_lines(folder, seed, jpeg, dpi):
    """Four black curves, one of each line style, each crossing some of the others, over
    black gridlines, with a legend and a note inside the axes."""
    rng = np.random.default_rng(seed)
    fig, ax = paper_axes(dpi, rng)
    x = np.linspace(0.0, 10.0, 600)
    styles = [("solid", "-"), ("dashed", "--"), ("dotted", ":"), ("dashdot", "-.")]
    ax.set_xlim(-0.5, 10.5)
    ax.set_ylim(-2.0, 2.6)
    fig.canvas.draw()
    # Each curve a slow wave about its own slanted middle line; the middle lines cross
    # within the range. Drawn again until every crossing is at 12 degrees or more.
    while True:
        slopes = rng.permutation(np.linspace(-0.3, 0.3, 4)) + rng.uniform(-0.04, 0.04, 4)
        ys = []
        for i in range(4):
            amplitude = rng.uniform(0.1, 0.25)
            frequency = rng.uniform(0.35, 0.7)
            phase = rng.uniform(0.0, 2.0 * np.pi)
            ys.append(0.45 * (i - 1.5) + slopes[i] * (x - 5.0) + amplitude * np.sin(frequency * x + phase))
        display = [ax.transData.transform(np.column_stack([x, y])) for y in ys]
        inside = all(np.all(np.abs(y) < 1.8) for y in ys)
        if inside and crossings_are_clear(display[0][:, 0], [d[:, 1] for d in display], 12.0):
            break
    curves = []
    for (name, style), y in zip(styles, ys):
        curves.append((name, ax.plot(x, y, style, color="black", linewidth=1.5, label=f"{name} ({style})")[0]))
    ax.grid(True, color="black", linewidth=0.6)
    ax.set_xlabel("time (s)")
    ax.set_ylabel("signal (V)")
    legend = ax.legend(loc="upper left", ncol=2, fontsize=8, edgecolor="black", fancybox=False, framealpha=1.0)
    note = ax.text(5.0, -1.9, "note: 4 runs at T = 300 K", fontsize=8, color="black")
    fig.canvas.draw()

    truth = Truth(fig, "lines", jpeg)
    for name, line in curves:
        truth.artist_line(line, f"curve {name}")
    truth.frame_and_grid(ax)
    for sample in legend.get_lines():
        truth.artist_line(sample, "line")
    truth.texts([note] + legend.get_texts() + ax.get_xticklabels() + ax.get_yticklabels())
    truth.save(ax, folder, "#000000")


def draw_crossing(folder, seed, jpeg, dpi):
    """Two red curves of one style that cross once, at 15 degrees, near the middle."""
    rng = np.random.default_rng(seed + 1000)
    fig, ax = paper_axes(dpi, rng)
    ax.set_xlim(0.0, 10.0)
    ax.set_ylim(0.0, 10.0)
    fig.canvas.draw()
    # Designed in display pixels, where angles are what the eye sees, then taken to data.
    to_data = ax.transData.inverted()
    (left, bottom), (right, top) = ax.transData.transform([(0.5, 0.0), (9.5, 10.0)])
    xs = np.linspace(left, right, 500)
    base = 0.5 * (bottom + top)
    height = top - bottom
    while True:
        middle = 0.5 * (left + right) + rng.uniform(-0.1, 0.1) * (right - left)
        wave = rng.uniform(0.9, 1.3) * 2.0 * np.pi / (right - left)
        phase = rng.uniform(0.0, 2.0 * np.pi)
        amplitude = rng.uniform(0.05, 0.1) * height
        tilt = rng.uniform(-0.3, 0.3)
        first = base + tilt * (xs - middle) + amplitude * (np.sin(wave * (xs - middle) + phase) - np.sin(phase))
        slope = tilt + amplitude * wave * np.cos(phase)
        other_slope = np.tan(np.arctan(slope) + np.radians(15.0) * rng.choice([-1.0, 1.0]))
        second = base + other_slope * (xs - middle)
        # One crossing, the curves parting from it and keeping apart, inside the axes.
        apart = np.abs(first - second)
        crossing = xs[np.argmin(apart)]
        parting = np.all(apart >= np.minimum(0.2 * np.abs(xs - crossing), 25.0) - 0.5)
        if parting and np.all(np.abs(np.concatenate([first, second]) - base) < 0.45 * height):
            break
    lines = []
    for name, curve in (("first", first), ("second", second)):
        data = to_data.transform(np.column_stack([xs, curve]))
        lines.append((name, ax.plot(data[:, 0], data[:, 1], "-", color="#d62728", linewidth=1.5)[0]))
    ax.set_xlabel("x")
    ax.set_ylabel("y")
    fig.canvas.draw()
    truth = Truth(fig, "crossing", jpeg)
    for name, line in lines:
        truth.artist_line(line, f"curve {name}")
    truth.save(ax, folder, "#d62728")


WORDS = ["run", "fit", "peak", "a", "B", "T = 4 K", "n = 12", "p < 0.05", "sample", "x10", "ref. [3]", "(a)",
         "mean", "0.5", "outlier", "Cu", "Fe-O", "slope 2.1"]


def draw_markers(folder, seed, jpeg, dpi):
    """Black hollow circles and filled squares, a line through some of them, labels beside
    some, and notes between them."""
    rng = np.random.default_rng(seed + 2000)
    fig, ax = paper_axes(dpi, rng)
    ax.set_xlim(0.0, 10.0)
    ax.set_ylim(0.0, 10.0)
    fig.canvas.draw()
    (left, bottom), (right, top) = ax.transData.transform([(0.3, 0.3), (9.7, 9.7)])
    scale = dpi / 100.0
    circle = 8.3 * scale  # matplotlib's default marker size, 6 points
    square = 7.0 * scale
    edge = 1.0  # points
    truth_markers = []
    placed = []  # (x, y, reach) in display pixels, markers and text alike

    def clear(x, y, reach, gap):
        return all(np.hypot(x - px, y - py) >= reach + pr + gap for px, py, pr in placed)

    # A line through a few of the markers: their centres lie on it.
    line_x = np.array([left, right])
    line_y = bottom + (top - bottom) * (rng.uniform(0.25, 0.4) + rng.uniform(0.2, 0.35) * (line_x - left) / (right - left))
    on_line = [left + (right - left) * f for f in (0.15, 0.38, 0.62, 0.85)]
    wanted = 56
    attempts = 0
    while len(truth_markers) < wanted and attempts < 20000:
        attempts += 1
        kind = "circle" if len(truth_markers) % 2 == 0 else "square"
        size = circle if kind == "circle" else square
        if on_line:
            x = on_line.pop() + rng.uniform(-0.5, 0.5)
            y = np.interp(x, line_x, line_y) + rng.uniform(-0.4, 0.4)
        else:
            x = rng.uniform(left, right)
            y = rng.uniform(bottom, top)
            # Clear of the line by more than its width unless it sits on it.
            if abs(y - np.interp(x, line_x, line_y)) < size:
                continue
        if not clear(x, y, 0.75 * size, 4.0):
            continue
        placed.append((x, y, 0.75 * size))
        truth_markers.append((kind, x, y, size))
    ax.plot(*ax.transData.inverted().transform(np.column_stack([line_x, line_y])).T, "-", color="black",
            linewidth=1.0)
    for kind, x, y, size in truth_markers:
        if kind == "circle":
            patch = Circle((x, y), 0.5 * (size - edge * dpi / 72.0), fill=False, edgecolor="black", linewidth=edge,
                           transform=IdentityTransform())
        else:
            patch = Rectangle((x - 0.5 * size, y - 0.5 * size), size, size, facecolor="black", edgecolor="none",
                              snap=False, transform=IdentityTransform())
        ax.add_artist(patch)

    # Labels beside some markers, a few pixels clear of them, and notes in the free space.
    texts = []
    for kind, x, y, size in truth_markers[::4]:
        word = WORDS[rng.integers(len(WORDS))]
        texts.append(ax.annotate(word, (x, y), xycoords=IdentityTransform(), xytext=(0.5 * size + 2.0 * scale, 1.0),
                                 textcoords="offset pixels", fontsize=8, va="center", color="black"))
    notes = 0
    while notes < 5 and attempts < 40000:
        attempts += 1
        x = rng.uniform(left, right - 120 * scale)
        y = rng.uniform(bottom, top - 12 * scale)
        if not clear(x + 45 * scale, y, 50 * scale, 2.0):
            continue
        words = " ".join(WORDS[i] for i in rng.integers(len(WORDS), size=3))
        texts.append(ax.text(*ax.transData.inverted().transform((x, y)), words, fontsize=9, color="black"))
        placed.append((x + 45 * scale, y, 50 * scale))
        notes += 1
    ax.set_xlabel("dose (Gy)")
    ax.set_ylabel("response")
    fig.canvas.draw()

    truth = Truth(fig, "markers", jpeg)
    for kind, x, y, size in truth_markers:
        (column, row), = pixel_points(fig, (x, y))
        truth.items.append(f"marker {kind} {column:.3f} {row:.3f} {size:.3f}")
    truth.artist_line(ax.get_lines()[0], "line")
    truth.frame_and_grid(ax)
    truth.texts(texts)
    truth.save(ax, folder, "#000000")


def main():
    arguments = sys.argv[1:]
    jpeg = "--jpeg" in arguments
    dpi = 100
    if "--dpi" in arguments:
        at = arguments.index("--dpi")
        dpi = int(arguments[at + 1])
        del arguments[at:at + 2]
    arguments = [a for a in arguments if a != "--jpeg"]
    if len(arguments) != 2 or not arguments[1].isdigit():
        print(f"usage: {sys.argv[0]} FOLDER SEED [--jpeg] [--dpi D]", file=sys.stderr)
        return 2
    folder, seed = arguments[0], int(arguments[1])
    draw_lines(folder, seed, jpeg, dpi)
    draw_crossing(folder, seed, jpeg, dpi)
    draw_markers(folder, seed, jpeg, dpi)
    return 0


if __name__ == "__main__":
    sys.exit(main())
