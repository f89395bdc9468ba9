#!/usr/bin/env python3
# The side-by-side table of the two-engine benchmark run, on made-up results.
import json
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench"))
import engines_table as et  # noqa: E402


def agg(name, real, unit="us", kind="median", **extra):
    b = {"name": f"{name}_{kind}", "run_name": name, "run_type": "aggregate",
         "aggregate_name": kind, "real_time": real, "cpu_time": real, "time_unit": unit}
    b.update(extra)
    return b


class EnginesTable(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.root = self.dir.name

    def tearDown(self):
        self.dir.cleanup()

    def write(self, engine, bench, benchmarks, raw=None):
        os.makedirs(os.path.join(self.root, engine), exist_ok=True)
        with open(os.path.join(self.root, engine, bench + ".json"), "w", encoding="utf-8") as f:
            f.write(raw if raw is not None else json.dumps({"benchmarks": benchmarks}))

    def table(self):
        return {r[0]: r[1:] for r in et.rows(et.load(self.root))}

    def test_median_in_milliseconds_and_ratio_to_target(self):
        # mean and stddev come first in the file; only the median counts.
        self.write("sqlite", "bench_data", [agg("BM_ProductsFindKeyByCodigo", 900, kind="mean"),
                                            agg("BM_ProductsFindKeyByCodigo", 20),
                                            agg("BM_ProductsFindKeyByCodigo", 3, kind="stddev")])
        self.write("postgresql", "bench_data", [agg("BM_ProductsFindKeyByCodigo", 3000000, unit="ns")])
        row = self.table()["find key: product by code"]
        self.assertEqual(row, ["20 µs", "3.00 ms", "0.01", "1.50"])

    def test_till_uses_its_median_scan_not_the_mean(self):
        # A fixed iteration count shows in the name.
        self.write("sqlite", "bench_sales", [agg("BM_ScanIntoOneSale/iterations:100", 2170, median_ms=0.77)])
        self.write("postgresql", "bench_sales", [agg("BM_ScanIntoOneSale", 9000, median_ms=4.5)])
        row = self.table()["till: one scanned sale item"]
        self.assertEqual(row, ["770 µs", "4.50 ms", "0.39", "2.25"])

    def test_error_missing_and_unreadable_results(self):
        self.write("sqlite", "bench_stock", [agg("BM_BalanceOneProduct", 171)])
        self.write("postgresql", "bench_stock",
                   [{"name": "BM_BalanceOneProduct", "run_name": "BM_BalanceOneProduct",
                     "error_occurred": True, "error_message": "no database"}])
        self.write("sqlite", "bench_orders", [agg("BM_Totalizar", 1580)])
        self.write("postgresql", "bench_orders", [], raw="{ not json")
        t = self.table()
        self.assertEqual(t["balance of one product"], ["171 µs", "erro", "0.09", "—"])
        self.assertEqual(t["`totalizar` alone, order of five lines"], ["1.58 ms", "—", "0.79", "—"])
        # Operations no engine measured are left out.
        self.assertNotIn("till: one scanned sale item", t)

    def test_reports_of_a_month_only_in_name_order(self):
        self.write("sqlite", "bench_reports", [agg("Consulta/VendasCaixa/Mes", 29, unit="ms"),
                                               agg("Consulta/VendasCaixa/Tudo", 4549, unit="ms"),
                                               agg("Consulta/TabelaPrecos", 203, unit="ms"),
                                               agg("Consulta/CaixaGeral/Mes", 1.3, unit="ms")])
        self.write("postgresql", "bench_reports", [agg("Consulta/VendasCaixa/Mes", 0.25, unit="s")])
        reports = [r for r in et.rows(et.load(self.root)) if r[0].startswith("report")]
        self.assertEqual([r[0] for r in reports],
                         ["report for a month: CaixaGeral", "report for a month: VendasCaixa"])
        self.assertEqual(reports[0][1:], ["1.30 ms", "—", "0.65", "—"])
        self.assertEqual(reports[1][1:], ["29.00 ms", "250 ms", "14.50", "125.00"])

    def test_markdown_has_one_line_per_operation(self):
        self.write("sqlite", "bench_data", [agg("BM_PostItemAndResum", 255)])
        lines = et.markdown(et.load(self.root)).splitlines()
        self.assertEqual(len(lines), 3)
        self.assertTrue(lines[2].startswith("| post a sale item and re-sum its sale | 255 µs | — |"))


if __name__ == "__main__":
    unittest.main()
