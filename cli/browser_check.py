#!/usr/bin/env python3
"""Checks the demo's pictures and report page in a real browser.

Runs `pemar demo`, renders each SVG picture headless to PNG and looks for
the curves' colours where the data puts them: the axes are read off the
picture's own tick labels and tick marks, and the data are known values
(steam saturation pressures, the fitted function, the utility database).
The report page must load without console or network errors, fetch
nothing, hold in its DOM every section heading that `pemar case report`
prints, show the pictures' colours when drawn to PNG, and print to PDF.

Exit status 0 when every check holds, 1 when one fails, and 77 (ctest's
"skipped") when no browser can be had.

Usage: browser_check.py PEMAR_TOOL WORK_DIR
"""

import html
import math
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zlib

SKIPPED = 77
SVG = "{http://www.w3.org/2000/svg}"

BLUE = (0, 0, 255)
RED = (255, 0, 0)


def find_browser():
    for name in (os.environ.get("PEMAR_BROWSER"), "chromium",
                 "chromium-browser"):
        if name and shutil.which(name):
            return shutil.which(name)
    return None


def run_browser(browser, profile, *args):
    command = [browser, "--headless", "--no-sandbox", "--disable-gpu",
               "--hide-scrollbars", "--force-device-scale-factor=1",
               "--no-first-run", "--enable-logging=stderr", "--v=0",
               "--user-data-dir=" + profile, *args]
    return subprocess.run(command, capture_output=True, text=True,
                          timeout=120, check=False)


# ------------------------------------------------------------ PNG reading

def read_png(path):
    """(width, height, rows of RGB tuples) of an 8-bit RGB or RGBA PNG."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(path + " is not a PNG file")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace != 0:
        raise ValueError("unexpected PNG form in " + path)
    bpp = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * bpp
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = previous[i]
            c = previous[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + a) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + b) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else b if pb <= pc else c
                line[i] = (line[i] + pred) & 0xFF
        rows.append([tuple(line[x * bpp:x * bpp + 3]) for x in range(width)])
        previous = line
    return width, height, rows


def near(colour, wanted, tolerance=90):
    return math.dist(colour, wanted) <= tolerance


def colour_near(image, x, y, wanted, radius=3):
    width, height, rows = image
    for dy in range(-radius, radius + 1):
        for dx in range(-radius, radius + 1):
            px, py = round(x) + dx, round(y) + dy
            if 0 <= px < width and 0 <= py < height and near(
                    rows[py][px], wanted):
                return True
    return False


# ------------------------------------------------------------ SVG reading

def texts(root, cls):
    return [t for t in root.iter(SVG + "text") if t.get("class") == cls]


def fit_axis(values, pixels):
    """A map from data to pixels through the ticks, linear in the value or
    in its logarithm, whichever the ticks follow."""
    def linear(transform):
        u = [transform(v) for v in values]
        slope = (pixels[-1] - pixels[0]) / (u[-1] - u[0])
        worst = max(abs(pixels[0] + slope * (a - u[0]) - p)
                    for a, p in zip(u, pixels))
        return worst, lambda v: pixels[0] + slope * (transform(v) - u[0])
    fits = [linear(lambda v: v)]
    if all(v > 0 for v in values):
        fits.append(linear(math.log10))
    worst, mapping = min(fits, key=lambda f: f[0])
    if worst > 0.6:
        raise ValueError("the tick labels are not where a scale puts them")
    return mapping


def plot_axes(root):
    """Maps of x and y read off a plot picture's ticks."""
    xs = [float(t.text) for t in texts(root, "tick-x")]
    ys = [float(t.text) for t in texts(root, "tick-y")]
    ticks = [line for line in root.iter(SVG + "line")
             if line.get("class") == "tick"]
    x_px = [float(t.get("x1")) for t in ticks if t.get("x1") == t.get("x2")]
    y_px = [float(t.get("y1")) for t in ticks if t.get("y1") == t.get("y2")]
    if len(xs) != len(x_px) or len(ys) != len(y_px) or len(xs) < 2:
        raise ValueError("tick labels and tick marks do not pair up")
    return fit_axis(xs, x_px), fit_axis(ys, y_px)


# ------------------------------------------------------------ the checks

def saturation_pressure(celsius):
    """kPa of saturated steam, from published steam tables."""
    return {100.0: 101.42, 126.85: 245.6, 176.85: 932.0, 200.0: 1554.9,
            226.85: 2639.7}[celsius]


# Picture, then (what, x, y, colour) where the data puts a curve or point.
PLOT_CHECKS = {
    "steam-chart.svg": [
        ("saturation at 450 K", 450.0, saturation_pressure(176.85), BLUE),
        ("saturation at 500 K", 500.0, saturation_pressure(226.85), BLUE),
        ("critical point", 647.3, 22120.0, RED),
    ],
    "linearize.svg": [
        ("f at x = 1", 1.0, 100 * (1 - math.exp(-0.5)), BLUE),
        ("f at x = 8", 8.0, 100 * (1 - math.exp(-4.0)), BLUE),
        ("first breakpoint", 0.0, 0.0, RED),
    ],
    "saturation-plot.svg": [
        ("200 degC", 200.0, saturation_pressure(200.0) / 100, BLUE),
        ("100 degC", 100.0, saturation_pressure(100.0) / 100, BLUE),
    ],
    os.path.join("tour-plots", "1-steam-saturation-pressure.svg"): [
        ("400 K", 400.0, saturation_pressure(126.85), BLUE),
        ("500 K", 500.0, saturation_pressure(226.85), BLUE),
    ],
}

# Utility, a temperature inside its bar (degC), the bar's colour.
LADDER_CHECKS = [("Fired Heat (2000)", 1200.0, RED),
                 ("Cooling Water", 22.0, BLUE),
                 ("HP Steam", 249.5, RED)]


def screenshot(browser, profile, svg_path, png_path):
    root = ET.parse(svg_path).getroot()
    width, height = root.get("width"), root.get("height")
    result = run_browser(browser, profile, "--screenshot=" + png_path,
                         "--window-size=%s,%s" % (width, height),
                         "file://" + os.path.abspath(svg_path))
    if not os.path.exists(png_path):
        raise RuntimeError("the browser drew no picture of %s:\n%s" %
                           (svg_path, result.stderr[-2000:]))
    return root, read_png(png_path)


def check_plot(browser, profile, work, name, points, failures):
    root, image = screenshot(browser, profile, os.path.join(work, name),
                             os.path.join(work, name + ".png"))
    x_map, y_map = plot_axes(root)
    for what, x, y, colour in points:
        if not colour_near(image, x_map(x), y_map(y), colour):
            failures.append("%s: no %s pixel at %s (%.1f, %.1f)" %
                            (name, colour, what, x_map(x), y_map(y)))


def check_ladder(browser, profile, work, failures):
    name = "utility-ladder.svg"
    root, image = screenshot(browser, profile, os.path.join(work, name),
                             os.path.join(work, name + ".png"))
    ticks = texts(root, "tick-x")
    x_map = fit_axis([float(t.text) for t in ticks],
                     [float(t.get("x")) for t in ticks])
    rows = {t.text: float(t.get("y")) for t in texts(root, "name")}
    for utility, celsius, colour in LADDER_CHECKS:
        if utility not in rows:
            failures.append("%s: no row for %s" % (name, utility))
            continue
        # The bar lies on the row of the utility's name.
        found = any(colour_near(image, x_map(celsius), rows[utility] - dy,
                                colour, radius=1) for dy in range(0, 14, 2))
        if not found:
            failures.append("%s: no %s bar of %s at %g degC" %
                            (name, colour, utility, celsius))


# What the browser logs for a page's own errors; the rest of its log is
# about the machine (no D-Bus, no GPU) and not the page.
PAGE_ERRORS = re.compile(r":CONSOLE|Failed to load resource|net::ERR_|Uncaught")
# The page must fetch nothing: no scripts, links or sources of any kind.
FETCHES = re.compile(r"<(script|link|img|iframe|object)\b|\b(src|href)\s*=",
                     re.I)


def check_page(browser, profile, tool, work, failures):
    page = os.path.join(work, "tour-report.html")
    result = run_browser(browser, profile, "--dump-dom",
                         "file://" + os.path.abspath(page))
    if result.returncode != 0 or "</html>" not in result.stdout:
        failures.append("the report page did not load:\n" +
                        result.stderr[-2000:])
        return
    for line in result.stderr.splitlines():
        if PAGE_ERRORS.search(line):
            failures.append("the report page reported: " + line)
    fetch = FETCHES.search(result.stdout)
    if fetch:
        failures.append("the report page fetches something: " + fetch.group())
    headings = [html.unescape(re.sub(r"<[^>]*>", "", h)) for h in re.findall(
        r"<h[2-6][^>]*>(.*?)</h[2-6]>", result.stdout, re.S)]
    report = subprocess.run([tool, "case", "report",
                             os.path.join(work, "tour.kcs")],
                            capture_output=True, text=True, check=True).stdout
    lines = report.split("\n")
    wanted = [line for before, line in zip(lines, lines[1:])
              if before == "" and re.match(r"\d+(\.\d+)* ", line)]
    wanted += ["6 Utility ladder", "7 Plot views"]
    for heading in wanted:
        if heading not in headings:
            failures.append("the report page lacks the heading " + heading)
    if len(wanted) < 10:
        failures.append("the text report has too few headings: %r" % wanted)
    # Drawn whole, the page shows the ladder's red and blue bars and the
    # plot view's blue curve.
    png = os.path.join(work, "tour-report.png")
    run_browser(browser, profile, "--screenshot=" + png,
                "--window-size=1000,4000", "file://" + os.path.abspath(page))
    if not os.path.exists(png):
        failures.append("the browser drew no picture of the report page")
    else:
        _, _, rows = read_png(png)
        for colour in (RED, BLUE):
            if not any(near(p, colour, 10) for row in rows for p in row):
                failures.append("the report page shows no %s pixel" %
                                (colour,))
    pdf = os.path.join(work, "tour-report.pdf")
    run_browser(browser, profile, "--no-pdf-header-footer",
                "--print-to-pdf=" + pdf, "file://" + os.path.abspath(page))
    if not os.path.exists(pdf) or os.path.getsize(pdf) < 1000:
        failures.append("the report page did not print to PDF")


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    tool, work = sys.argv[1], sys.argv[2]
    browser = find_browser()
    if browser is None:
        print("SKIPPED: no browser: install Debian's chromium (scripts/test "
              "does so when run as root) or set PEMAR_BROWSER")
        return SKIPPED
    shutil.rmtree(work, ignore_errors=True)
    demo = subprocess.run([tool, "demo", "--dir", work], capture_output=True,
                          text=True, check=False)
    if demo.returncode != 0:
        print(demo.stdout[-3000:], demo.stderr[-3000:])
        return 1
    failures = []
    with tempfile.TemporaryDirectory() as profile:
        for name, points in PLOT_CHECKS.items():
            check_plot(browser, profile, work, name, points, failures)
        check_ladder(browser, profile, work, failures)
        check_page(browser, profile, tool, work, failures)
    for failure in failures:
        print("FAILED:", failure)
    if not failures:
        print("browser check passed with", os.path.basename(browser))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
