#!/usr/bin/env python3
"""Writes a table of stands for `forstrix-cli batch`: one stand per row,
species, diameter, slope, trails, volumes, distances and wages drawn at
random (fixed seed, so the same table every time). Every row is a stand the
checks accept."""
import argparse
import random
import sys

COLUMNS = ["gi_ba", "gi_bhd", "gi_sf", "gi_hn", "gi_ar", "gi_br", "gf_vab", "gf_gf",
           "gi_hvs", "gi_i_bb", "gf_i_rd", "gf_i_bse", "gi_ii_vzs", "gi_v_sll", "gi_v_kf",
           "gf_fw", "gf_mf"]


def row(rng, comma):
    def dec(lo, hi, places):
        text = f"{rng.uniform(lo, hi):.{places}f}"
        return text.replace(".", ",") if comma else text
    vzs = rng.choice([0] + list(range(5, 86)))
    return [str(rng.randrange(10)), str(rng.randint(6, 90)), str(rng.randrange(4)),
            str(rng.randint(0, 65)), str(rng.randrange(2)), str(rng.randrange(2)),
            dec(5, 200, 2), dec(0.5, 300, 2), str(rng.randrange(2)), str(rng.randrange(6)),
            str(rng.randint(20, 800)), str(rng.randint(5, 40)), str(vzs),
            str(rng.randrange(5)), str(rng.randrange(3)), dec(10, 30, 2), dec(10, 30, 2)]


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--rows", type=int, default=1_000_000)
    ap.add_argument("--sep", choices=[",", ";"], default=",",
                    help="separator; ';' writes decimal commas as German spreadsheets do")
    ap.add_argument("--seed", type=int, default=20261206)
    ap.add_argument("-o", "--output", help="file to write (default: standard output)")
    args = ap.parse_args()

    rng = random.Random(args.seed)
    comma = args.sep == ";"
    out = open(args.output, "w", newline="", encoding="ascii") if args.output else sys.stdout
    lines = [args.sep.join(COLUMNS)]
    for _ in range(args.rows):
        lines.append(args.sep.join(row(rng, comma)))
        if len(lines) >= 10000:
            out.write("\r\n".join(lines) + "\r\n")
            lines = []
    if lines:
        out.write("\r\n".join(lines) + "\r\n")
    if out is not sys.stdout:
        out.close()


if __name__ == "__main__":
    main()
