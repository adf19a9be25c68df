#!/usr/bin/env python3
"""Draws the pitch picture of the formation editor and the program icon (src/res/*.png).

  pitch.png    382 x 194: the pitch from above, the team's own goal on the left with its
               goalkeeper as a yellow dot in front of it, a broad arrow showing the direction
               of play (to the right)
  icon.png     64 x 64, icon_32.png 32 x 32: a ball on a green tile
  hicolor/icon_48.png, icon_128.png, icon_256.png: the same icon for the installed program's theme

Each picture is drawn at four times its size and averaged down, which smooths the edges.
Usage: make_pictures.py [--out src/res]
"""

import argparse
import math
import os
import sys

from png import RGBA_8BIT, write_png

SS = 4  # supersampling factor


class Canvas:
    def __init__(self, width, height, colour):
        self.w, self.h = width * SS, height * SS
        self.px = [list(colour) for _ in range(self.w * self.h)]

    def fill(self, inside, colour):
        """Paints every pixel whose centre (in picture units) satisfies inside(x, y)."""
        for j in range(self.h):
            y = (j + 0.5) / SS
            for i in range(self.w):
                if inside((i + 0.5) / SS, y):
                    self.px[j * self.w + i] = list(colour)

    def rect(self, x0, y0, x1, y1, colour):
        self.fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1, colour)

    def frame(self, x0, y0, x1, y1, width, colour):
        self.fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1 and
                  not (x0 + width <= x < x1 - width and y0 + width <= y < y1 - width), colour)

    def rgba_rows(self):
        rows = []
        for j in range(0, self.h, SS):
            row = bytearray()
            for i in range(0, self.w, SS):
                acc = [0, 0, 0, 0]
                for dj in range(SS):
                    for di in range(SS):
                        p = self.px[(j + dj) * self.w + i + di]
                        for k in range(4):
                            acc[k] += p[k]
                row += bytes(round(a / (SS * SS)) for a in acc)
            rows.append(bytes(row))
        return rows


GRASS_DARK = (46, 125, 50, 255)
GRASS_LIGHT = (67, 150, 66, 255)
LINE = (245, 245, 245, 255)
KEEPER = (255, 214, 0, 255)
ARROW = (255, 255, 255, 150)


def pitch():
    width, height = 382, 194
    c = Canvas(width, height, GRASS_DARK)
    left, top, right, bottom = 10.0, 8.0, 372.0, 186.0
    sx, sy = (right - left) / 105.0, (bottom - top) / 68.0  # pixels per metre
    stripe = (right - left) / 12
    c.fill(lambda x, y: int((x - left) // stripe) % 2 == 0, GRASS_LIGHT)

    lw = 1.6
    mid_x, mid_y = (left + right) / 2, (top + bottom) / 2
    c.frame(left, top, right, bottom, lw, LINE)
    c.rect(mid_x - lw / 2, top, mid_x + lw / 2, bottom, LINE)

    def ellipse_ring(cx, cy, rx, ry, clip=lambda x, y: True):
        def inside(x, y):
            outer = ((x - cx) / (rx + lw / 2)) ** 2 + ((y - cy) / (ry + lw / 2)) ** 2 <= 1
            inner = ((x - cx) / (rx - lw / 2)) ** 2 + ((y - cy) / (ry - lw / 2)) ** 2 < 1
            return outer and not inner and clip(x, y)
        c.fill(inside, LINE)

    def disc(cx, cy, r, colour):
        c.fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, colour)

    ellipse_ring(mid_x, mid_y, 9.15 * sx, 9.15 * sy)
    disc(mid_x, mid_y, 2.0, LINE)
    for side in (-1, 1):
        goal_line = left if side < 0 else right
        into = -side  # direction towards the centre
        box_x = goal_line + into * 16.5 * sx
        small_x = goal_line + into * 5.5 * sx
        spot_x = goal_line + into * 11.0 * sx
        c.frame(min(goal_line, box_x), mid_y - 20.16 * sy, max(goal_line, box_x), mid_y + 20.16 * sy, lw, LINE)
        c.frame(min(goal_line, small_x), mid_y - 9.16 * sy, max(goal_line, small_x), mid_y + 9.16 * sy, lw, LINE)
        disc(spot_x, mid_y, 1.6, LINE)
        ellipse_ring(spot_x, mid_y, 9.15 * sx, 9.15 * sy,
                     lambda x, y, b=box_x: (x - b) * into > 0)
        goal_x0 = goal_line - 7 if side < 0 else goal_line
        c.frame(goal_x0, mid_y - 3.66 * sy, goal_x0 + 7, mid_y + 3.66 * sy, lw, LINE)

    # The direction of play: a broad arrow along the middle, pointing at the opponents' goal.
    shaft_x0, shaft_x1, head_x1 = 112.0, 236.0, 276.0
    shaft_half, head_half = 11.0, 26.0

    def arrow(x, y):
        if shaft_x0 <= x < shaft_x1:
            return abs(y - mid_y) <= shaft_half
        if shaft_x1 <= x <= head_x1:
            return abs(y - mid_y) <= head_half * (head_x1 - x) / (head_x1 - shaft_x1)
        return False

    for j in range(c.h):
        y = (j + 0.5) / SS
        for i in range(c.w):
            if arrow((i + 0.5) / SS, y):
                p = c.px[j * c.w + i]
                a = ARROW[3] / 255
                c.px[j * c.w + i] = [round(p[k] * (1 - a) + ARROW[k] * a) for k in range(3)] + [255]

    disc(left + 4.0 * sx, mid_y, 5.0, (40, 40, 0, 255))
    disc(left + 4.0 * sx, mid_y, 4.0, KEEPER)
    return c.rgba_rows()


def icon(size):
    c = Canvas(size, size, (0, 0, 0, 0))
    r = size * 0.18  # corner radius of the tile
    m = size * 0.03

    def tile(x, y):
        cx = min(max(x, m + r), size - m - r)
        cy = min(max(y, m + r), size - m - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r and m <= x <= size - m and m <= y <= size - m

    c.fill(tile, (30, 110, 45, 255))
    c.fill(lambda x, y: tile(x, y) and y > size * 0.72, (24, 92, 38, 255))
    cx = cy = size / 2
    radius = size * 0.34
    c.fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= (radius + size * 0.03) ** 2, (20, 20, 20, 255))
    c.fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2, (250, 250, 250, 255))

    def pentagon(px, py, pr, rot):
        corners = [(px + pr * math.sin(rot + k * 2 * math.pi / 5), py - pr * math.cos(rot + k * 2 * math.pi / 5))
                   for k in range(5)]

        def inside(x, y):
            if (x - cx) ** 2 + (y - cy) ** 2 > radius ** 2:
                return False
            for k in range(5):
                (x0, y0), (x1, y1) = corners[k], corners[(k + 1) % 5]
                if (x1 - x0) * (y - y0) - (y1 - y0) * (x - x0) < 0:
                    return False
            return True
        c.fill(inside, (20, 20, 20, 255))

    pentagon(cx, cy, radius * 0.36, 0.0)
    for k in range(5):
        a = k * 2 * math.pi / 5
        pentagon(cx + radius * 0.92 * math.sin(a), cy - radius * 0.92 * math.cos(a), radius * 0.3, a + math.pi)
    return c.rgba_rows()


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser()
    parser.add_argument('--out', default=os.path.join(here, '..', '..', 'src', 'res'))
    args = parser.parse_args()
    write_png(os.path.join(args.out, 'pitch.png'), 382, 194, pitch(), RGBA_8BIT)
    write_png(os.path.join(args.out, 'icon.png'), 64, 64, icon(64), RGBA_8BIT)
    write_png(os.path.join(args.out, 'icon_32.png'), 32, 32, icon(32), RGBA_8BIT)
    # The sizes the installed program offers to the desktop's icon theme.
    for size in (48, 128, 256):
        write_png(os.path.join(args.out, 'hicolor', f'icon_{size}.png'), size, size, icon(size), RGBA_8BIT)
    return 0


if __name__ == '__main__':
    sys.exit(main())
