#!/usr/bin/env bash
# The desk benchmarks on both engines, side by side.
#
# 1. Builds (Release) the benchmarks it runs, the data generator and the copy tool, when needed.
# 2. Takes the generated database (tools/gendata, default scale, 1.8 million rows) from
#    BRELVO_ENGINES_DB (default <build>/bench-engines-db). When that folder holds none, it is
#    made: a consistent snapshot of BRELVO_ENGINES_SEED (another generated folder, e.g.
#    /tmp/brelvo-bench-orders) when that holds a full one, otherwise by gendata.
# 3. Starts a throwaway PostgreSQL server (scripts/pg-test-server.sh: its own data folder,
#    a free port, the user "nobody" when run as root), copies the database into its empty
#    database with brelvo-pgcopy (which checks counts and sums per table) and times the copy.
# 4. Runs the desk benchmarks on SQLite (the folder) and then on PostgreSQL (the copy): find
#    key, balance of one product, a line posted and re-totalled, one scanned sale item, each
#    report for a month. The benchmarks get the location only; the data layer picks the engine.
# 5. Prints one table: operation, SQLite median, PostgreSQL median, ratios to the 2 ms desk
#    target; stops the server (also on error or Ctrl+C).
#
#   BUILD_DIR    build folder (default: build-bench beside the repository's root)
#   JOBS         parallel build jobs (default 2)
#   REPETITIONS  repetitions per benchmark for the median (default 5)
#   NICE         priority of the benchmark runs (default -15 as root, else 0)
#   ENGINES      "sqlite postgresql" (default), or one of them
# Results: <build>/bench-engines/ (JSON per engine and benchmark, copy.txt, table.md).
set -euo pipefail
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export LC_ALL="${LC_ALL:-C.UTF-8}"

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build-bench}"
JOBS="${JOBS:-2}"
REPETITIONS="${REPETITIONS:-5}"
ENGINES="${ENGINES:-sqlite postgresql}"
OUT="$BUILD_DIR/bench-engines"
DB="${BRELVO_ENGINES_DB:-$BUILD_DIR/bench-engines-db}"
SEED="${BRELVO_ENGINES_SEED:-}"
MIN_ROWS=1800000
if [ -z "${NICE:-}" ]; then
    if [ "$(id -u)" -eq 0 ]; then NICE=-15; else NICE=0; fi
fi

say() { printf '== %s\n' "$*" >&2; }
die() { printf '!! %s\n' "$*" >&2; exit 1; }

# ------------------------------------------------------------------ build
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$BUILD_DIR" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release \
          -DBRELVO_BUILD_BENCH=ON -DBRELVO_BUILD_TESTS=OFF >/dev/null
fi
BENCHES=(bench_data bench_stock bench_orders bench_sales bench_reports)
say "compilando ${BENCHES[*]} gendata brelvo-pgcopy"
cmake --build "$BUILD_DIR" -j "$JOBS" --target "${BENCHES[@]}" gendata brelvo-pgcopy >"$BUILD_DIR/engines-build.log" 2>&1 \
    || { tail -20 "$BUILD_DIR/engines-build.log" >&2; die "a compilação falhou"; }
exe() { find "$BUILD_DIR" -type f -name "$1" -perm -u+x ! -path '*/CMakeFiles/*' | head -1; }

# ------------------------------------------------------------------ the SQLite database
# Rows of every table of a SQLite file; NOT INDEXED keeps the indexes (and their collation) out.
count_rows() {
    python3 - "$1" <<'PY'
import sqlite3, sys
con = sqlite3.connect(f"file:{sys.argv[1]}?mode=ro", uri=True)
names = [r[0] for r in con.execute("select name from sqlite_master where type='table' and name not like 'sqlite_%'")]
print(sum(con.execute(f'select count(*) from "{n}" not indexed').fetchone()[0] for n in names))
PY
}
mkdir -p "$OUT"
if [ ! -s "$DB/brelvo.sqlite" ]; then
    mkdir -p "$DB"
    if [ -n "$SEED" ] && [ -s "$SEED/brelvo.sqlite" ] && [ "$(count_rows "$SEED/brelvo.sqlite")" -ge "$MIN_ROWS" ]; then
        say "copiando a base gerada de $SEED para $DB"
        # SQLite's online backup: a consistent copy even while another program writes there.
        python3 - "$SEED/brelvo.sqlite" "$DB/brelvo.sqlite" <<'PY'
import sqlite3, sys
src = sqlite3.connect(sys.argv[1])
dst = sqlite3.connect(sys.argv[2])
src.backup(dst)
dst.close(); src.close()
PY
    else
        say "gerando a base em $DB (escala padrão)"
        "$(exe gendata)" --folder "$DB" >"$OUT/gendata.log" 2>&1 || { tail "$OUT/gendata.log" >&2; die "gendata falhou"; }
    fi
fi
ROWS=$(count_rows "$DB/brelvo.sqlite")
[ "$ROWS" -ge "$MIN_ROWS" ] || die "$DB tem $ROWS linhas, menos que $MIN_ROWS: apague a pasta para gerar de novo"
say "base SQLite: $DB, $ROWS linhas"

# ------------------------------------------------------------------ the server and the copy
STATE="$BUILD_DIR/bench-engines-pg"
URI=""
stop_server() { [ -n "$URI" ] && "$ROOT/scripts/pg-test-server.sh" stop "$STATE" >/dev/null 2>&1 || true; }
trap stop_server EXIT INT TERM
if [[ " $ENGINES " == *" postgresql "* ]]; then
    "$ROOT/scripts/pg-test-server.sh" start "$STATE" >&2
    URI=$(cat "$STATE/uri")
    say "copiando para $URI"
    start=$(date +%s.%N)
    "$(exe brelvo-pgcopy)" --de "$DB" --para "$URI" >"$OUT/copy.txt" 2>&1 \
        || { tail -30 "$OUT/copy.txt" >&2; die "a cópia não conferiu"; }
    end=$(date +%s.%N)
    python3 -c "import sys; s=float(sys.argv[2])-float(sys.argv[1]); r=int(sys.argv[3]); print(f'copy: {r} rows, {s:.1f} s, {r/s:.0f} rows/s')" \
        "$start" "$end" "$ROWS" | tee -a "$OUT/copy.txt" >&2
    grep -i 'conferida' "$OUT/copy.txt" >&2 || true
fi

# ------------------------------------------------------------------ the benchmarks
# bench program | filter of its desk cases
RUNS=(
    "bench_data|^BM_(ProductsFindKeyByCodigo|CustomersFindKeyByCodigo|ProductsFindKeyByDescricao|StockBalanceQuery|PostItemAndResum)$"
    "bench_stock|^BM_BalanceOneProduct$"
    "bench_orders|^BM_(AddServiceLineAndTotal|AddPartLineAndTotal|Totalizar)$"
    "bench_sales|^BM_ScanIntoOneSale"
    "bench_reports|^Consulta/.*/Mes$"
)
status=0
for engine in $ENGINES; do
    case "$engine" in
        sqlite) location="$DB" ;;
        postgresql) location="$URI" ;;
        *) die "motor desconhecido: $engine" ;;
    esac
    mkdir -p "$OUT/$engine"
    uptime > "$OUT/$engine/load.txt"
    for run in "${RUNS[@]}"; do
        name="${run%%|*}"
        filter="${run#*|}"
        say "$engine: $name"
        if ! BRELVO_BENCH_DB="$location" BRELVO_BENCH_STOCK_DB="$location" BRELVO_BENCH_ORDERS_DB="$location" \
             BRELVO_BENCH_SALES_DB="$location" \
             nice -n "$NICE" "$(exe "$name")" --benchmark_filter="$filter" \
                 --benchmark_repetitions="$REPETITIONS" --benchmark_report_aggregates_only=true \
                 --benchmark_out="$OUT/$engine/$name.json" --benchmark_out_format=json \
                 >"$OUT/$engine/$name.txt" 2>&1; then
            echo "!! $engine: $name falhou (ver $OUT/$engine/$name.txt)" >&2
            status=1
        fi
    done
    uptime >> "$OUT/$engine/load.txt"
done
stop_server
URI=""

python3 "$ROOT/bench/engines_table.py" "$OUT" | tee "$OUT/table.md"
for e in $ENGINES; do [ -f "$OUT/$e/load.txt" ] && echo "carga ($e, antes e depois): $(sed "s/.*load average: //" "$OUT/$e/load.txt" | tr "\n" " ")"; done
echo "Resultados em $OUT"
exit $status
