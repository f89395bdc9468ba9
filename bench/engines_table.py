#!/usr/bin/env python3
"""The side-by-side table of bench/run-engines.sh.

Reads <results>/<engine>/<bench>.json (Google Benchmark, aggregates) for the
engines "sqlite" and "postgresql" and prints one Markdown table: operation,
median on each engine, and each median as a ratio of the 2 ms desk target.
A benchmark missing on an engine, or stopped with an error, shows "—" or
"erro" there; the table is still printed.
"""
import json
import os
import re
import sys

TARGET_MS = 2.0
ENGINES = ("sqlite", "postgresql")

# (bench program, benchmark name, operation); the order of the table.
OPERATIONS = [
    ("bench_data", "BM_ProductsFindKeyByCodigo", "find key: product by code"),
    ("bench_data", "BM_CustomersFindKeyByCodigo", "find key: customer by code"),
    ("bench_data", "BM_ProductsFindKeyByDescricao", "find key: product by description"),
    ("bench_stock", "BM_BalanceOneProduct", "balance of one product"),
    ("bench_data", "BM_StockBalanceQuery", "balance of one product, the bare query"),
    ("bench_data", "BM_PostItemAndResum", "post a sale item and re-sum its sale"),
    ("bench_orders", "BM_AddServiceLineAndTotal", "order window: a service line stored and `totalizar`"),
    ("bench_orders", "BM_AddPartLineAndTotal", "the same with a stock-monitored part"),
    ("bench_orders", "BM_Totalizar", "`totalizar` alone, order of five lines"),
    ("bench_sales", "BM_ScanIntoOneSale", "till: one scanned sale item"),
]
REPORT_PREFIX = "Consulta/"
REPORT_SUFFIX = "/Mes"

UNIT_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def medians(path):
    """{benchmark name: median in ms, or None after an error} of one JSON file."""
    try:
        with open(path, encoding="utf-8") as f:
            data = json.load(f)
    except (OSError, ValueError):
        return {}
    out = {}
    for b in data.get("benchmarks", []):
        # "BM_ScanIntoOneSale/iterations:100" is BM_ScanIntoOneSale.
        name = re.sub(r"/iterations:\d+$", "", b.get("run_name") or b.get("name", ""))
        if b.get("error_occurred"):
            out[name] = None
            continue
        if b.get("aggregate_name", "median") != "median":
            continue
        # The till reports the median scan of each run of 100 as a counter;
        # its real_time is the mean scan.
        if "median_ms" in b:
            out[name] = float(b["median_ms"])
        else:
            out[name] = float(b["real_time"]) * UNIT_MS[b.get("time_unit", "ns")]
    return out


def load(results):
    """{engine: {(bench, name): ms or None}}"""
    table = {}
    for engine in ENGINES:
        per = {}
        folder = os.path.join(results, engine)
        if os.path.isdir(folder):
            for file in sorted(os.listdir(folder)):
                if file.endswith(".json"):
                    bench = file[:-5]
                    for name, ms in medians(os.path.join(folder, file)).items():
                        per[(bench, name)] = ms
        table[engine] = per
    return table


def cell_ms(value, present):
    if not present:
        return "—"
    if value is None:
        return "erro"
    if value < 1:
        return f"{value * 1000:.0f} µs"
    return f"{value:.2f} ms" if value < 100 else f"{value:.0f} ms"


def cell_ratio(value, present):
    if not present or value is None:
        return "—"
    return f"{value / TARGET_MS:.2f}"


def rows(table):
    keys = [((b, n), label) for b, n, label in OPERATIONS]
    reports = sorted({k for per in table.values() for k in per
                      if k[0] == "bench_reports" and k[1].startswith(REPORT_PREFIX) and k[1].endswith(REPORT_SUFFIX)})
    keys += [(k, "report for a month: " + k[1][len(REPORT_PREFIX):-len(REPORT_SUFFIX)]) for k in reports]
    out = []
    for key, label in keys:
        if not any(key in table[e] for e in ENGINES):
            continue
        cells = [label]
        for e in ENGINES:
            cells.append(cell_ms(table[e].get(key), key in table[e]))
        for e in ENGINES:
            cells.append(cell_ratio(table[e].get(key), key in table[e]))
        out.append(cells)
    return out


def markdown(table):
    lines = ["| operation | SQLite | PostgreSQL | ratio SQLite | ratio PostgreSQL |",
             "|---|---|---|---|---|"]
    lines += ["| " + " | ".join(r) + " |" for r in rows(table)]
    return "\n".join(lines)


def main(argv):
    if len(argv) != 2:
        print("uso: engines_table.py PASTA_DE_RESULTADOS", file=sys.stderr)
        return 2
    print(markdown(load(argv[1])))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
