#!/usr/bin/env python3
"""Reads the preview page's size off a screen kept as an XWD file (Xvfb
-fbdir): the page is the one large white area. Prints its width, the median
over the screen's rows of each row's longest white run (a light title bar or
a sign drawn on the page does not move the median), and its height, the
longest white run down any column.
  xwd_white.py <Xvfb_screen0>"""
import struct
import sys

with open(sys.argv[1], "rb") as f:
    data = f.read()
fields = struct.unpack(">25I", data[:100])
header_size, width, height = fields[0], fields[4], fields[5]
bits_per_pixel, bytes_per_line, ncolors = fields[11], fields[12], fields[19]
if bits_per_pixel != 32:
    sys.exit("expected 32 bits per pixel, got %d" % bits_per_pixel)
pixels = data[header_size + 12 * ncolors:]
row_runs = []
column_run = [0] * width
longest_column = 0
for y in range(height):
    row = pixels[y * bytes_per_line:y * bytes_per_line + 4 * width]
    run = longest = 0
    for x in range(width):
        white = row[4 * x:4 * x + 3] == b"\xff\xff\xff"
        run = run + 1 if white else 0
        longest = max(longest, run)
        column_run[x] = column_run[x] + 1 if white else 0
        longest_column = max(longest_column, column_run[x])
    row_runs.append(longest)
print(sorted(row_runs)[height // 2], longest_column)
