#!/usr/bin/env python3
"""Draws the tool's artwork: the icon, the main window's background and title
banner, and the gamepad window's background.

Only the standard library is used; the BMP, ICO and PNG bytes are written
directly. The results are committed, so a build never runs this script:

    python3 tools/art/draw_art.py [--out src/resources/art] [--preview DIR]

The scene is one function of the main background's pixel coordinates, so the
banner can be cut from exactly the part of the sky it covers in the window.
"""

import argparse
import math
import os
import random
import struct
import zlib

# ---------------------------------------------------------------------------
# Where things stand in the windows (pixels at 96 DPI, "MS Shell Dlg" 8).

MAIN_SIZE = (506, 423)
BANNER_SIZE = (476, 96)
BANNER_AT = (12, 8)
GAMEPAD_SIZE = (845, 652)
# Client areas at 96 DPI; the backgrounds are anchored at their bottom-right
# corners, so these decide which part of each picture is seen.
MAIN_CLIENT = (375, 323)
GAMEPAD_CLIENT = (628, 517)

# ---------------------------------------------------------------------------
# Small maths


def clamp(value, low=0.0, high=1.0):
    return low if value < low else high if value > high else value


def smoothstep(edge0, edge1, x):
    t = clamp((x - edge0) / (edge1 - edge0))
    return t * t * (3.0 - 2.0 * t)


def mix(a, b, t):
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t)


def scale(c, k):
    return (c[0] * k, c[1] * k, c[2] * k)


def add(a, b):
    return (a[0] + b[0], a[1] + b[1], a[2] + b[2])


def _hash(ix, iy, seed):
    h = (ix * 374761393 + iy * 668265263 + seed * 2246822519) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0


def value_noise(x, y, seed):
    ix = math.floor(x)
    iy = math.floor(y)
    fx = x - ix
    fy = y - iy
    sx = fx * fx * (3 - 2 * fx)
    sy = fy * fy * (3 - 2 * fy)
    a = _hash(ix, iy, seed)
    b = _hash(ix + 1, iy, seed)
    c = _hash(ix, iy + 1, seed)
    d = _hash(ix + 1, iy + 1, seed)
    top = a + (b - a) * sx
    bottom = c + (d - c) * sx
    return top + (bottom - top) * sy


def fbm(x, y, seed, octaves=4):
    total = 0.0
    amplitude = 0.5
    for octave in range(octaves):
        total += amplitude * value_noise(x, y, seed + octave * 17)
        x *= 2.03
        y *= 2.03
        amplitude *= 0.5
    return total / (1.0 - 0.5 ** octaves)


def ridge(x, seed, octaves=6):
    """A mountain ridge height in 0..1 along x."""
    total = 0.0
    amplitude = 0.5
    frequency = 1.0
    for octave in range(octaves):
        n = value_noise(x * frequency, 0.5, seed + octave * 31)
        total += amplitude * (1.0 - abs(2.0 * n - 1.0))
        frequency *= 2.1
        amplitude *= 0.48
    return total


# ---------------------------------------------------------------------------
# Palette

SKY_TOP = (6, 8, 22)
SKY_HORIZON = (38, 52, 86)
MOON_LIGHT = (214, 224, 240)
MIST = (196, 206, 219)
MIST_DEEP = (160, 174, 193)
SILHOUETTE = (10, 13, 24)
WINDOW_GLOW = (255, 176, 86)
GOLD_LIGHT = (255, 236, 176)
GOLD_MID = (222, 170, 78)
GOLD_DARK = (112, 66, 24)


class Scene:
    """A moonlit valley: night sky, moon, ridges with a castle, and a bank of
    pale mist in the valley where the controls stand.

    `horizon` is the height (in scene pixels) where the mist begins; `mist_top`
    and `brightness` let the gamepad window use a calmer, paler variant.
    """

    def __init__(self, seed, moon, moon_radius, ridges, mist_from, mist_full, castle=None, pale=0.0):
        self.seed = seed
        self.moon = moon
        self.moon_radius = moon_radius
        self.ridges = ridges  # (base y, amplitude, frequency, fog amount, seed)
        self.mist_from = mist_from
        self.mist_full = mist_full
        self.castle = castle
        self.pale = pale
        rng = random.Random(seed)
        self.stars = {}
        for _ in range(900):
            x = rng.randrange(-200, 1100)
            y = rng.randrange(-100, 500)
            self.stars[(x, y)] = rng.random() ** 3
        self._ridge_cache = {}

    def ridge_y(self, layer, x):
        key = (layer, x)
        cached = self._ridge_cache.get(key)
        if cached is None:
            base, amplitude, frequency, _, seed = self.ridges[layer]
            cached = base - amplitude * ridge(x * frequency, seed)
            self._ridge_cache[key] = cached
        return cached

    def castle_hit(self, x, y):
        """0 outside the castle, 1 in its walls, 2 in a lit window."""
        if not self.castle:
            return 0
        cx, cy, s = self.castle
        u = (x - cx) / s
        v = (cy - y) / s  # up from the rock
        if v < 0:
            return 0
        # Towers: (centre, half width, height of walls, height of roof tip).
        for centre, half, wall, tip in ((0.0, 0.9, 7.0, 10.5), (-2.6, 0.7, 4.6, 7.2), (2.4, 0.75, 5.4, 8.2),
                                        (-4.6, 0.55, 3.0, 5.0)):
            du = abs(u - centre)
            if du <= half and v <= wall:
                lit = (abs(u - centre) < 0.18 and (abs(v - wall * 0.7) < 0.45 or abs(v - wall * 0.4) < 0.35))
                return 2 if lit else 1
            if v > wall and v <= tip and du <= half * (tip - v) / (tip - wall) + 0.05:
                return 1
        if -4.6 <= u <= 2.4 and v <= 2.2:
            if abs(v - 1.2) < 0.3 and (abs(u + 1.3) < 0.15 or abs(u - 1.3) < 0.15):
                return 2
            # Battlements along the wall.
            if v > 1.7 and int((u + 10) * 2.5) % 2 == 1:
                return 0
            return 1
        return 0

    def sky(self, x, y):
        t = clamp((y + 60) / 330.0)
        colour = mix(SKY_TOP, SKY_HORIZON, t ** 1.4)
        dx = x - self.moon[0]
        dy = y - self.moon[1]
        distance = math.sqrt(dx * dx + dy * dy)
        # Halo of the moon through a thin haze.
        halo = math.exp(-max(distance - self.moon_radius, 0.0) / 70.0) * 0.55
        halo += math.exp(-max(distance - self.moon_radius, 0.0) / 14.0) * 0.5
        # Clouds lit from the moon.
        cloud = fbm(x / 120.0, y / 38.0, self.seed + 5, 5)
        cloud = smoothstep(0.52, 0.78, cloud) * (0.35 + 0.65 * math.exp(-distance / 260.0))
        colour = mix(colour, (70, 84, 118), cloud * 0.55)
        colour = add(colour, scale(MOON_LIGHT, halo * 0.45))
        star = self.stars.get((int(x), int(y)))
        if star is not None and cloud < 0.2:
            colour = mix(colour, (235, 238, 255), clamp(star * 1.6) * (1.0 - halo))
        if distance < self.moon_radius + 1.0:
            # The disc, limb-darkened, with soft mare shadows; anti-aliased rim.
            edge = clamp(self.moon_radius + 0.5 - distance)
            limb = math.sqrt(max(0.0, 1.0 - (distance / self.moon_radius) ** 2))
            mare = fbm(dx / 9.0 + 40, dy / 9.0 + 40, self.seed + 9, 3)
            disc = scale((246, 244, 232), 0.82 + 0.18 * limb - 0.16 * smoothstep(0.5, 0.8, mare))
            colour = mix(colour, disc, edge)
        return colour

    def colour(self, x, y):
        colour = self.sky(x, y)
        # Ridges from far to near: each farther one is paler with distance.
        for layer in range(len(self.ridges)):
            top = self.ridge_y(layer, x)
            cover = clamp(y - top + 0.5)
            if cover > 0:
                fog = self.ridges[layer][3]
                tone = mix(SILHOUETTE, SKY_HORIZON, fog)
                # Moonlight catching the crest.
                rim = math.exp(-max(y - top, 0.0) / 2.2) * (0.5 - 0.35 * fog)
                lower = clamp((y - top) / 90.0)
                tone = mix(tone, MIST_DEEP, lower * (0.25 + 0.5 * fog))
                colour = mix(colour, add(tone, scale(MOON_LIGHT, rim * 0.35)), cover)
        hit = self.castle_hit(x, y)
        if hit == 1:
            colour = mix(SILHOUETTE, SKY_HORIZON, 0.12)
        elif hit == 2:
            colour = WINDOW_GLOW
        # The valley mist: pale and calm, gently stirred.
        depth = smoothstep(self.mist_from, self.mist_full, y + 14.0 * (fbm(x / 90.0, y / 30.0, self.seed + 3, 3) - 0.5))
        if depth > 0:
            swirl = fbm(x / 140.0 + 7, y / 26.0, self.seed + 11, 4)
            mist = mix(MIST_DEEP, MIST, smoothstep(0.3, 0.75, swirl))
            colour = mix(colour, mist, depth)
        if self.pale:
            colour = mix(colour, MIST, self.pale * smoothstep(-80.0, 260.0, y))
        return colour


def tree_mask(x, y, trees):
    """Coverage of dark fir silhouettes standing on the bottom edge."""
    for base_x, base_y, height, width in trees:
        v = (base_y - y) / height
        if v < -0.05 or v > 1.0:
            continue
        if v < 0.04 and abs(x - base_x) < width * 0.06:
            return 1.0
        # Stacked tiers with drooping ends.
        tier = (v * 5.0) % 1.0
        half = width * (1.0 - v) * (0.55 + 0.45 * (1.0 - tier)) * 0.5
        half *= 0.92 + 0.08 * value_noise(x / 3.0, y / 3.0, 77)
        coverage = clamp(half - abs(x - base_x) + 0.5)
        if coverage > 0:
            return coverage
    return 0.0


def vignette(x, y, width, height, strength):
    u = (x + 0.5) / width - 0.5
    v = (y + 0.5) / height - 0.5
    return 1.0 - strength * smoothstep(0.25, 0.75, u * u * 1.4 + v * v * 1.8)


# ---------------------------------------------------------------------------
# The main window's scene. The window shows the picture's bottom-right
# 375 x 323 pixels at 96 DPI: scene x 131..506, y 100..423. The banner covers
# scene x 143..619, y 108..204; the controls stand below scene y 218.

MAIN_SCENE = Scene(
    seed=2009,
    moon=(472, 128),
    moon_radius=15,
    ridges=[
        (214, 110, 1 / 150.0, 0.62, 101),  # far range, pale with distance
        (222, 72, 1 / 100.0, 0.35, 202),
        (236, 50, 1 / 70.0, 0.12, 303),  # near hills carrying the castle
    ],
    mist_from=194,
    mist_full=222,
    castle=(452, 204, 3.4),
)
MAIN_TREES = [(140, 430, 120, 52), (168, 436, 92, 40), (116, 440, 150, 60), (500, 432, 110, 48),
              (478, 440, 78, 36)]
OFFSET = (MAIN_SIZE[0] - MAIN_CLIENT[0], MAIN_SIZE[1] - MAIN_CLIENT[1])


def main_pixel(x, y):
    colour = MAIN_SCENE.colour(x, y)
    trees = tree_mask(x, y, MAIN_TREES)
    if trees:
        colour = mix(colour, SILHOUETTE, trees * 0.92)
    return scale(colour, vignette(x - OFFSET[0] + 0.0, y, MAIN_SIZE[0] + OFFSET[0], MAIN_SIZE[1], 0.55))


def draw_main_background():
    width, height = MAIN_SIZE
    return [[main_pixel(x, y) for x in range(width)] for y in range(height)]


# ---------------------------------------------------------------------------
# The title: ORVANTE in Roman capitals, drawn from distance fields so that the
# edges, the dark outline, the bevel and the glow are all smooth.


def box(px, py, ax, ay, bx, by, half_width):
    """Distance to a stroke from a to b with square ends."""
    dx = bx - ax
    dy = by - ay
    length = math.hypot(dx, dy)
    ux = dx / length
    uy = dy / length
    cx = (ax + bx) / 2
    cy = (ay + by) / 2
    qx = abs((px - cx) * ux + (py - cy) * uy) - length / 2
    qy = abs(-(px - cx) * uy + (py - cy) * ux) - half_width
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0)


def ellipse(px, py, cx, cy, rx, ry):
    k = math.hypot((px - cx) / rx, (py - cy) / ry)
    return (k - 1.0) * min(rx, ry)


THICK = 4.4
THIN = 1.9
H = 44.0  # cap height in letter units


def serif(px, py, x, y, width):
    return box(px, py, x - width / 2, y, x + width / 2, y, 1.3)


def letter_o(px, py):
    outer = ellipse(px, py, 19, H / 2, 19, H / 2)
    inner = ellipse(px, py, 19, H / 2, 11.5, H / 2 - 4.5)
    return max(outer, -inner)


def letter_r(px, py):
    d = box(px, py, 3.5, 0, 3.5, H, THICK)
    outer = ellipse(px, py, 13, 11.5, 13, 11.5)
    inner = ellipse(px, py, 12, 11.5, 7.5, 7.8)
    bowl = max(max(outer, -inner), 8 - px)
    d = min(d, bowl)
    d = min(d, box(px, py, 3.5, 1.2, 13, 1.2, 1.3))
    d = min(d, box(px, py, 3.5, 21.8, 13, 21.8, 1.5))
    d = min(d, box(px, py, 12, 22, 24, H - 0.5, THICK * 0.95))
    d = min(d, serif(px, py, 3.5, H - 0.6, 14), serif(px, py, 3.5, 0.6, 12), serif(px, py, 25, H - 0.6, 9))
    return d


def letter_v(px, py):
    d = box(px, py, 4, 0, 15, H, THICK)
    d = min(d, box(px, py, 27, 0, 15.5, H, THIN))
    return min(d, serif(px, py, 4, 0.6, 13), serif(px, py, 27, 0.6, 10))


def letter_a(px, py):
    d = box(px, py, 15.5, 0, 3, H, THIN)
    d = min(d, box(px, py, 14.5, 0, 27, H, THICK))
    d = min(d, box(px, py, 8, 29, 22, 29, 1.5))
    return min(d, serif(px, py, 3, H - 0.6, 10), serif(px, py, 27, H - 0.6, 13), box(px, py, 12, 0.8, 17, 0.8, 1.2))


def letter_n(px, py):
    d = box(px, py, 2.5, 0, 2.5, H, THIN)
    d = min(d, box(px, py, 26.5, 0, 26.5, H, THIN))
    d = min(d, box(px, py, 3.5, 0, 25.5, H, THICK))
    return min(d, serif(px, py, 2.5, H - 0.6, 10), serif(px, py, 26.5, 0.6, 10), serif(px, py, 2, 0.6, 8))


def letter_t(px, py):
    d = box(px, py, 0, 2, 29, 2, 2.0)
    d = min(d, box(px, py, 14.5, 0, 14.5, H, THICK))
    d = min(d, serif(px, py, 14.5, H - 0.6, 14), box(px, py, 0.8, 0, 0.8, 8, 1.2), box(px, py, 28.2, 0, 28.2, 8, 1.2))
    return d


def letter_e(px, py):
    d = box(px, py, 3.5, 0, 3.5, H, THICK)
    d = min(d, box(px, py, 3.5, 1.8, 23, 1.8, 1.8))
    d = min(d, box(px, py, 3.5, H / 2, 19, H / 2, 1.6))
    d = min(d, box(px, py, 3.5, H - 1.8, 24, H - 1.8, 1.8))
    d = min(d, box(px, py, 22.2, 0, 22.2, 8, 1.2), box(px, py, 23.2, H - 9, 23.2, H, 1.2))
    d = min(d, box(px, py, 18.2, H / 2 - 4, 18.2, H / 2 + 4, 1.1))
    return d


TITLE = [(letter_o, 38), (letter_r, 27), (letter_v, 31), (letter_a, 30), (letter_n, 29), (letter_t, 29),
         (letter_e, 25)]
TRACKING = 5.0


def title_distance(px, py, left, top, units):
    """Distance in pixels to the word, `units` pixels per letter unit."""
    ux = (px - left) / units
    uy = (py - top) / units
    best = 1e9
    x = 0.0
    for shape, width in TITLE:
        if -30 < ux - x < width + 30:
            best = min(best, shape(ux - x, uy))
        x += width + TRACKING
    return best * units


def title_width():
    return sum(width for _, width in TITLE) + TRACKING * (len(TITLE) - 1)


def gold(t):
    """A metal ramp: bright crown, dark band at the horizon line, warm foot."""
    if t < 0.48:
        return mix(GOLD_LIGHT, GOLD_MID, t / 0.48)
    if t < 0.56:
        return mix(GOLD_MID, GOLD_DARK, (t - 0.48) / 0.08)
    return mix((196, 132, 52), (250, 206, 120), (t - 0.56) / 0.44)


def shade_title(base, d, v, glow_colour):
    """The word over `base`: outer glow, dark outline, bevelled gold fill."""
    colour = base
    glow = math.exp(-max(d, 0.0) / 6.0)
    colour = add(colour, scale(glow_colour, 0.32 * glow))
    outline = clamp(3.2 - d)
    colour = mix(colour, (14, 10, 6), outline * 0.9)
    fill = clamp(0.5 - d)
    if fill > 0:
        metal = gold(v)
        # Inner rim catches the light on the upper edges.
        rim = math.exp(-max(-d, 0.0) / 1.1)
        metal = mix(metal, (255, 248, 222), rim * 0.45)
        colour = mix(colour, metal, fill)
    return colour


def ornament_distance(px, py, cx, cy, reach):
    """A thin tapered rule with a diamond in the middle, under the word."""
    dx = abs(px - cx)
    taper = 1.1 * (1.0 - dx / reach)
    rule = abs(py - cy) - max(taper, 0.0) if dx < reach else 1e9
    diamond = (abs(px - cx) + abs(py - cy) * 1.6) - 4.5
    return min(rule, diamond)


TITLE_UNITS = 1.12  # pixels per letter unit: a cap height of about 49 pixels


def draw_banner():
    width, height = BANNER_SIZE
    # Centred on the window's client area at 96 DPI, not on the whole banner,
    # whose right end lies beyond the window's edge there.
    centre = MAIN_CLIENT[0] / 2.0 - BANNER_AT[0]
    left = centre - title_width() * TITLE_UNITS / 2.0
    top = 14.0
    cap = H * TITLE_UNITS
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            sx = x + BANNER_AT[0] + OFFSET[0]
            sy = y + BANNER_AT[1] + OFFSET[1]
            base = main_pixel(sx, sy)
            d = title_distance(x + 0.5, y + 0.5, left, top, TITLE_UNITS)
            colour = shade_title(base, d, clamp((y + 0.5 - top) / cap), (150, 176, 230))
            o = ornament_distance(x + 0.5, y + 0.5, centre, top + cap + 12.0, 118.0)
            colour = mix(colour, (14, 10, 6), clamp(2.0 - o) * 0.8)
            colour = mix(colour, (232, 190, 104), clamp(0.5 - o))
            row.append(colour)
        rows.append(row)
    return rows


# ---------------------------------------------------------------------------
# The gamepad window: the same valley at first light, paler and calmer, since
# its labels and group boxes stand over almost all of it in black text. The
# window shows scene x 217..845, y 135..652 at 96 DPI.

GAMEPAD_SCENE = Scene(
    seed=2010,
    moon=(760, 176),
    moon_radius=19,
    ridges=[
        (250, 90, 1 / 210.0, 0.7, 111),
        (285, 70, 1 / 140.0, 0.5, 212),
        (320, 56, 1 / 100.0, 0.3, 313),
    ],
    mist_from=250,
    mist_full=340,
    castle=(650, 322, 3.6),
    pale=0.0,
)


def gamepad_pixel(x, y):
    colour = GAMEPAD_SCENE.colour(x, y)
    # Raise the whole seen area to a calm, light tone; the sky keeps its
    # colour as a wash, so the mood carries over from the main window.
    lift = smoothstep(0.0, 1.0, (y - 120.0) / 260.0)
    colour = mix(colour, MIST, 0.62 + 0.3 * lift)
    # The firs stand where no label is, at the edges.
    trees = tree_mask(x, y, [(190, 664, 160, 64), (838, 664, 140, 58), (812, 670, 96, 42)])
    if trees:
        colour = mix(colour, mix(SILHOUETTE, MIST, 0.55), trees)
    return scale(colour, vignette(x - 217.0 * 0.5, y - 135.0 * 0.5, 845 - 108, 652 - 67, 0.22))


def draw_gamepad_background():
    width, height = GAMEPAD_SIZE
    return [[gamepad_pixel(x, y) for x in range(width)] for y in range(height)]


# ---------------------------------------------------------------------------
# The icon: a dark round seal with a gold ring (the O of the title), the moon
# and a ridge inside it.


def icon_pixel(x, y, size):
    """Colour and coverage at (x, y) in a 1 x 1 square."""
    cx = cy = 0.5
    r = math.hypot(x - cx, y - cy)
    px = 1.0 / size
    seal = clamp((0.47 - r) / px + 0.5)
    if seal <= 0:
        return (0, 0, 0), 0.0
    sky = mix((16, 22, 48), (52, 70, 112), clamp((y - 0.1) / 0.8))
    colour = sky
    # At 16 pixels the moon is larger and the hills simpler, to stay legible.
    small = size < 32
    moon_radius = 0.17 if small else 0.12
    moon = math.hypot(x - 0.56, y - 0.4) - moon_radius
    crescent = max(moon, -(math.hypot(x - 0.56 - moon_radius * 0.5, y - 0.4 - moon_radius * 0.4) - moon_radius * 0.82))
    glow = math.exp(-max(moon, 0.0) / 0.08)
    colour = add(colour, scale((180, 196, 230), 0.25 * glow))
    colour = mix(colour, (246, 240, 214), clamp(-crescent / px + 0.5))
    hill = 0.68 - 0.12 * math.exp(-((x - 0.42) / 0.16) ** 2) - (0.0 if small else 0.05 * math.sin(x * 19.0))
    colour = mix(colour, (12, 16, 28), clamp((y - hill) / px + 0.5))
    ring_outer = 0.47
    ring_inner = 0.47 - max(0.1, (1.9 if small else 2.6) / size)
    band = min(ring_outer - r, r - ring_inner)
    in_ring = clamp(band / px + 0.5)
    if in_ring > 0:
        t = clamp((y - 0.05) / 0.9)
        metal = gold(t)
        # Light from the upper left along the ring.
        light = 0.75 + 0.25 * ((cx - x) + (cy - y)) / max(r, 1e-6)
        colour = mix(colour, scale(metal, light), in_ring)
    edge = clamp((r - ring_outer + 1.2 * px) / px)
    colour = mix(colour, (20, 14, 8), edge * 0.7)
    return colour, seal


def draw_icon(size):
    samples = 4
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            total = [0.0, 0.0, 0.0]
            alpha = 0.0
            for sy in range(samples):
                for sx in range(samples):
                    colour, a = icon_pixel((x + (sx + 0.5) / samples) / size, (y + (sy + 0.5) / samples) / size,
                                           size)
                    total[0] += colour[0] * a
                    total[1] += colour[1] * a
                    total[2] += colour[2] * a
                    alpha += a
            n = samples * samples
            if alpha > 0:
                row.append((total[0] / alpha, total[1] / alpha, total[2] / alpha, alpha / n))
            else:
                row.append((0, 0, 0, 0.0))
        rows.append(row)
    return rows


# ---------------------------------------------------------------------------
# File formats


def to_byte(value, dither=0.0):
    return int(clamp(value + dither, 0.0, 255.0) + 0.5) if value + dither < 255 else 255


class Dither:
    """Ordered dithering hides banding in the long, dark gradients."""

    MATRIX = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]

    @staticmethod
    def at(x, y):
        return (Dither.MATRIX[y & 3][x & 3] + 0.5) / 16.0 - 0.5


def bmp_bytes(rows):
    """A 24-bit BMP: the pictures are copied opaque, so an alpha byte would
    add a third to each picture. Too many colours for a palette
    (and so for RLE) without changing what is seen."""
    height = len(rows)
    width = len(rows[0])
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray()
        for x, pixel in enumerate(rows[y]):
            d = Dither.at(x, y)
            line += bytes((to_byte(pixel[2], d), to_byte(pixel[1], d), to_byte(pixel[0], d)))
        line += b"\0" * (stride - len(line))
        data += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return header + info + data


def png_bytes(rows, alpha):
    height = len(rows)
    width = len(rows[0])
    raw = bytearray()
    for y, row in enumerate(rows):
        raw.append(0)
        for x, pixel in enumerate(row):
            d = Dither.at(x, y)
            raw += bytes((to_byte(pixel[0], d), to_byte(pixel[1], d), to_byte(pixel[2], d)))
            if alpha:
                raw.append(to_byte(pixel[3] * 255.0))

    def chunk(kind, payload):
        return struct.pack(">I", len(payload)) + kind + payload + struct.pack(">I", zlib.crc32(kind + payload))

    header = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(
        b"IEND", b"")


def icon_image_bytes(rows):
    """One icon image as a 32-bit DIB with its AND mask."""
    size = len(rows)
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for y in range(size - 1, -1, -1):
        bits = bytearray(mask_stride)
        for x, pixel in enumerate(rows[y]):
            if pixel[3] < 0.5:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    # Straight (not premultiplied) alpha is what icons hold.
    xor = bytearray()
    for y in range(size - 1, -1, -1):
        for r, g, b, a in rows[y]:
            xor += bytes((to_byte(b), to_byte(g), to_byte(r), to_byte(a * 255.0)))
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask


def ico_bytes(images):
    """`images`: (size, bytes) pairs; 256 is stored as PNG."""
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = bytearray()
    payload = bytearray()
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset + len(payload))
        payload += data
    return header + entries + payload


def write(path, data):
    with open(path, "wb") as file:
        file.write(data)
    print(f"{path}: {len(data)} bytes")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.normpath(os.path.join(here, "..", "..", "src", "resources", "art")))
    parser.add_argument("--preview", help="also write PNG pictures into this folder")
    parser.add_argument("--only", choices=["icon", "main", "banner", "gamepad"], action="append")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
    wanted = set(args.only or ["icon", "main", "banner", "gamepad"])

    def preview(name, rows, alpha=False):
        if args.preview:
            write(os.path.join(args.preview, name + ".png"), png_bytes(rows, alpha))

    if "icon" in wanted:
        images = []
        for size in (16, 32, 48, 256):
            rows = draw_icon(size)
            preview(f"icon_{size}", rows, alpha=True)
            images.append((size, png_bytes(rows, True) if size == 256 else icon_image_bytes(rows)))
        write(os.path.join(args.out, "app.ico"), ico_bytes(images))
    if "main" in wanted:
        rows = draw_main_background()
        preview("main_background", rows)
        write(os.path.join(args.out, "main_background.bmp"), bmp_bytes(rows))
    if "banner" in wanted:
        rows = draw_banner()
        preview("main_banner", rows)
        write(os.path.join(args.out, "main_banner.bmp"), bmp_bytes(rows))
    if "gamepad" in wanted:
        rows = draw_gamepad_background()
        preview("gamepad_background", rows)
        write(os.path.join(args.out, "gamepad_background.bmp"), bmp_bytes(rows))


if __name__ == "__main__":
    main()
