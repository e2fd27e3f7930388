#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Recomputes an ensemble's points.csv from its ends.csv: per point, the median, 5 % and 95 %
quantiles (type 7) of each end figure. Reads points.csv with pandas, as an analyst would: one
row per point, every column a number.   ARGS: DIR"""
import csv
import statistics
import sys

import pandas

FIGURES = ["peak_infected", "peak_day", "ever_infected", "dead", "vaccinations", "days"]


def read(path):
    with open(path, newline="") as f:
        return list(csv.DictReader(f))


def type7(values):
    """median, p5, p95: 'inclusive' is type 7; the 19 cut points are 5 %, 10 %, ... 95 %."""
    cuts = statistics.quantiles(values, n=20, method="inclusive")
    return [statistics.median(values), cuts[0], cuts[18]]


def main(folder):
    ends, points = read(folder + "/ends.csv"), read(folder + "/points.csv")
    columns = list(ends[0])
    varied = columns[columns.index("seed") + 1 : columns.index("days")]
    for row in points:
        runs = [e for e in ends if e["point"] == row["point"]]
        assert runs and all(row[v] == runs[0][v] for v in varied), row
        for figure in FIGURES:
            want = type7([float(e[figure]) for e in runs])
            got = [float(row[figure + "_" + q]) for q in ("median", "p5", "p95")]
            assert all(abs(g - w) <= 1e-9 * max(1.0, abs(w)) for g, w in zip(got, want)), (
                row["point"], figure, got, want)
    expected = ["point"] + varied + [f + "_" + q for f in FIGURES for q in ("median", "p5", "p95")]
    assert list(points[0]) == expected, list(points[0])
    table = pandas.read_csv(folder + "/points.csv")
    assert list(table.columns) == expected and len(table) == len(points)
    assert all(pandas.api.types.is_numeric_dtype(t) for t in table.dtypes)
    print(f"{len(points)} points checked")


main(sys.argv[1])
