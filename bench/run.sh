#!/usr/bin/env bash
# Builds the benchmarks in Release and runs every bench_* executable of the
# build, writing JSON and text results to <build>/bench-results/.
#   BUILD_DIR   build folder (default: build-bench beside this repository's root)
#   JOBS        parallel build jobs (default 2)
#   BENCH_ARGS  extra arguments for every benchmark (e.g. --benchmark_filter=Find)
#   REPETITIONS repetitions per benchmark for the median (default 5)
set -euo pipefail
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build-bench}"
JOBS="${JOBS:-2}"
REPETITIONS="${REPETITIONS:-5}"
RESULTS="$BUILD_DIR/bench-results"

generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$BUILD_DIR" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release \
          -DBRELVO_BUILD_BENCH=ON -DBRELVO_BUILD_TESTS=OFF
else
    cmake "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DBRELVO_BUILD_BENCH=ON >/dev/null
fi

# Every bench_* target the build knows, whichever folder defines it.
mapfile -t targets < <(cmake --build "$BUILD_DIR" --target help 2>/dev/null \
    | sed -n 's/^\(\.\.\. \)\{0,1\}\(bench_[A-Za-z0-9_]*\)\(:.*\)\{0,1\}$/\2/p' \
    | grep -v '_autogen' | sort -u)
if [ "${#targets[@]}" -eq 0 ]; then
    echo "Nenhum benchmark (bench_*) encontrado em $BUILD_DIR" >&2
    exit 1
fi
# One target at a time, so that a benchmark that does not build does not stop the others.
status=0
for t in "${targets[@]}"; do
    if ! cmake --build "$BUILD_DIR" -j "$JOBS" --target "$t"; then
        echo "!! $t não compilou" >&2
        status=1
    fi
done

mkdir -p "$RESULTS"
{
    echo "date: $(date -u '+%Y-%m-%d %H:%M:%S UTC')"
    echo "nproc: $(nproc)"
    lscpu 2>/dev/null | grep 'Model name' || true
    echo "commit: $(git -C "$ROOT" rev-parse --short HEAD 2>/dev/null || echo '?')"
} > "$RESULTS/machine.txt"

mapfile -t exes < <(find "$BUILD_DIR/bench" "$BUILD_DIR/bin" -type f -name 'bench_*' -perm -u+x \
    ! -name '*.*' 2>/dev/null | sort -u)
set +e     # a failing benchmark is reported, the others still run
for exe in "${exes[@]}"; do
    name="$(basename "$exe")"
    echo "== $name"
    # Google Benchmark executables get repetitions and a JSON report; any other
    # bench_* program runs as it is and its output is kept as text.
    if ldd "$exe" 2>/dev/null | grep -q 'libbenchmark'; then
        # shellcheck disable=SC2086
        "$exe" --benchmark_repetitions="$REPETITIONS" --benchmark_report_aggregates_only=true \
            --benchmark_out="$RESULTS/$name.json" --benchmark_out_format=json ${BENCH_ARGS:-} \
            | tee "$RESULTS/$name.txt"
        rc=${PIPESTATUS[0]}
    else
        "$exe" | tee "$RESULTS/$name.txt"
        rc=${PIPESTATUS[0]}
    fi
    if [ "$rc" -ne 0 ]; then
        echo "!! $name falhou (código $rc)" >&2
        status=1
    fi
done
set -e

# Summary: the median of every benchmark (wall and CPU time).
echo
echo "== Resumo (mediana) — $(grep -h 'Model name' "$RESULTS/machine.txt" | sed 's/ \{2,\}/ /g'), $(nproc) núcleos"
for json in "$RESULTS"/bench_*.json; do
    [ -f "$json" ] || continue
    python3 - "$json" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
name = sys.argv[1].rsplit('/', 1)[-1][:-5]
for b in data.get("benchmarks", []):
    if b.get("aggregate_name") not in (None, "median"):
        continue
    if b.get("error_occurred"):
        print(f"  {name:14} {b['name']:60} ERRO: {b.get('error_message', '')}")
        continue
    print(f"  {name:14} {b['run_name']:56} {b['real_time']:11.3f} {b['time_unit']} (CPU {b['cpu_time']:.3f})")
PY
done
for txt in "$RESULTS"/bench_*.txt; do
    [ -f "$txt" ] || continue
    [ -f "${txt%.txt}.json" ] && continue
    echo "  $(basename "${txt%.txt}"): ver $txt"
done
echo "Resultados em $RESULTS"
exit $status
