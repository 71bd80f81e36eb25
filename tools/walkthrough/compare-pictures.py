#!/usr/bin/python3
"""Compares two folders of walkthrough pictures, for example those of the Qt 5 and the Qt 6 build.

    compare-pictures.py FOLDER_A FOLDER_B [--diffs FOLDER]

Every picture must be in both folders at the same size; for each it prints the share of pixels
that differ by more than a little (anti-aliasing and hinting) and the box around them. With
--diffs it writes, for every picture that differs, the two side by side with the differing
pixels marked, to look at. Exits 1 when a picture is missing or its size differs.
"""
import sys
from pathlib import Path

from PIL import Image, ImageChops

TOLERANCE = 48  # per channel: a pixel of a glyph's edge moved by a sub-pixel stays under it


def main(argv):
    args = [a for a in argv[1:] if not a.startswith("--")]
    diffs = None
    if "--diffs" in argv:
        diffs = Path(argv[argv.index("--diffs") + 1])
        args.remove(str(diffs))
        diffs.mkdir(parents=True, exist_ok=True)
    if len(args) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    a_dir, b_dir = Path(args[0]), Path(args[1])
    a_names = {p.name for p in a_dir.glob("*.png")}
    b_names = {p.name for p in b_dir.glob("*.png")}
    failed = False
    for name in sorted(a_names ^ b_names):
        print(f"{name}: only in {a_dir if name in a_names else b_dir}")
        failed = True
    if not a_names & b_names:
        print("no pictures to compare")
        return 1
    for name in sorted(a_names & b_names):
        a = Image.open(a_dir / name).convert("RGB")
        b = Image.open(b_dir / name).convert("RGB")
        if a.size != b.size:
            print(f"{name}: size {a.size} against {b.size}")
            failed = True
            continue
        difference = ImageChops.difference(a, b).convert("L").point(lambda v: 255 if v > TOLERANCE else 0)
        changed = sum(1 for v in difference.getdata() if v)
        share = 100.0 * changed / (a.size[0] * a.size[1])
        box = difference.getbbox()
        print(f"{name}: {a.size[0]}x{a.size[1]}, {share:.2f} % of pixels differ" + (f", within {box}" if box else ""))
        if diffs is not None and box:
            side = Image.new("RGB", (a.size[0] * 3, a.size[1]), "white")
            side.paste(a, (0, 0))
            side.paste(b, (a.size[0], 0))
            marked = a.copy()
            marked.paste(Image.new("RGB", a.size, (255, 0, 0)), mask=difference)
            side.paste(marked, (a.size[0] * 2, 0))
            side.save(diffs / name)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
