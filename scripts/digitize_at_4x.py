"""Driven by scripts/digitize-at-4x: calibrates and digitizes the sample plot at 4x in the
running window with real X events (xdotool), finding each feature on screen from a
screenshot as a user does by eye, then holds the saved data file against the plot's
known truth (tools/SamplePlot.h)."""
import os, subprocess, sys, time, math

D = os.environ["DISPLAY"]
def sh(*a): return subprocess.run(a, check=True, capture_output=True, text=True).stdout
def xdo(*a): sh("xdotool", *map(str, a)); time.sleep(0.25)

def grab(x, y, w, h):
    ppm = subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "-depth", "8", "ppm:-"],
                         check=True, capture_output=True).stdout
    # P6\nW H\n255\n
    parts = ppm.split(b"\n", 3)
    W, H = map(int, parts[1].split())
    data = parts[3]
    img = [[0]*W for _ in range(H)]
    for r in range(H):
        for c in range(W):
            i = 3*(r*W + c)
            img[r][c] = 255 - (data[i] + data[i+1] + data[i+2]) / 3.0   # darkness
    return img

# Left, bottom, top, right of the plot area and the mapping to painter coordinates.
left, right, top, bottom = 100.0, 860.0, 50.0, 520.0
def px(x): return left + x / 10.0 * (right - left)
def py(y): return bottom - y / 100.0 * (bottom - top)

win = sh("xdotool", "search", "--sync", "--onlyvisible", "--name", "Plotmeter").split()[0]
xdo("windowmove", win, 0, 0)
xdo("windowsize", win, 1650, 980)
time.sleep(1.0)
xdo("mousemove", 300, 300)
xdo("windowfocus", win)
xdo("key", "ctrl+alt+0")
time.sleep(1.0)
# The picture at 100 %: find its white rectangle in the plot area.
img = grab(0, 0, 1040, 980)
rows = [r for r in range(980) if sum(1 for c in range(1040) if img[r][c] < 5) > 400]
cols = [c for c in range(1040) if sum(1 for r in range(980) if img[r][c] < 5) > 300]
oy, ox = rows[0], cols[0]
assert (cols[-1] - ox + 1, rows[-1] - oy + 1) == (900, 600), "the picture is on show at 100 %"

def centroid(profile):
    base = min(profile)
    w = [max(0.0, v - base) for v in profile]
    s = sum(w)
    peak = max(w)
    w = [v if v > 0.3*peak else 0.0 for v in w]
    s = sum(w)
    return sum(i * v for i, v in enumerate(w)) / s

def locate(tx, ty, vline_offset, hline_offset):
    """Zoom to 4x about the target and return the screen position of the lines' centres:
    the vertical line measured `vline_offset` screen rows from the crossing, the
    horizontal one `hline_offset` columns from it."""
    xdo("key", "ctrl+alt+0")
    cx, cy = ox + int(math.floor(tx)), oy + int(math.floor(ty))
    xdo("mousemove", cx, cy)
    xdo("key", "ctrl+equal")
    xdo("key", "ctrl+equal")
    time.sleep(0.5)
    R = 24
    img = grab(cx - R, cy - R, 2*R + 1, 2*R + 1)
    r = R + vline_offset
    x = centroid([img[r][c] for c in range(2*R + 1)]) + cx - R
    c = R + hline_offset
    y = centroid([img[rr][c] for rr in range(2*R + 1)]) + cy - R
    return x, y

def click_at(x, y):
    # The screen pixel whose centre is nearest the feature's centre.
    sx, sy = int(round(x - 0.5)), int(round(y - 0.5))
    xdo("mousemove", sx, sy)
    xdo("click", "--repeat", 2, "--delay", 60, 1)

def typ(text): xdo("type", "--delay", 40, text)

# Grid crossings far enough from the picture's edges that zooming about them keeps them
# under the cursor (near an edge the view cannot scroll that far).
calibration = [((1, 20), (-14, 14)), ((9, 20), (-14, -14)), ((1, 60), (14, 14)), ((9, 60), (14, -14))]
for (wx, wy), (dv, dh) in calibration:
    x, y = locate(px(wx), py(wy), dv, dh)
    click_at(x, y)
    time.sleep(0.4)
    typ(str(wx)); xdo("key", "Tab"); typ(str(wy)); xdo("key", "Return")
xdo("key", "ctrl+2")
time.sleep(0.5)
targets = [(3, 40), (7, 40), (5, 60), (2, 20), (6, 20), (4, 40), (8, 60), (5, 40)]
for wx, wy in targets:
    x, y = locate(px(wx), py(wy), -14, 14)
    click_at(x, y)
    time.sleep(0.3)
out = sys.argv[1]
xdo("key", "ctrl+s")
time.sleep(1.5)
typ(out)
xdo("key", "Return")
time.sleep(1.5)
worst = worst_click = 0.0
lines = open(out).read().split("\n")
for (wx, wy), line in zip(targets, lines):
    sxp, syp, X, Y = map(float, line.split())
    # The truth in the data file's picture coordinates: pixel centres at whole numbers,
    # y from the bottom (the picture is 600 pixels tall).
    tx, ty = px(wx) - 0.5, 600 + 0.5 - py(wy)
    click = math.hypot(sxp - tx, syp - ty)
    e = math.hypot((X - wx) / 10.0 * (right - left), (Y - wy) / 100.0 * (bottom - top))
    worst, worst_click = max(worst, e), max(worst_click, click)
    print(f"({wx}, {wy}): clicked ({sxp}, {syp}), truth ({tx}, {ty}), off {click:.3f} px; "
          f"world ({X}, {Y}), off {e:.3f} px")
print(f"{len(targets)} points digitized at 4x after calibrating at 4x: worst world error {worst:.3f} px, "
      f"worst click {worst_click:.3f} px from the truth")
