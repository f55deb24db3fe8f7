#!/usr/bin/env bash
# Every speed figure the README's table gives, in one run: the command line paired against
# the keyed SQLite shell (bench/cli-vs-shell.sh), then the pages' own figures from the
# benchmark programs, each printed as one line of a Markdown table. Take them on a quiet
# machine (the load is printed first); a figure taken under load tells little.
#
#   bench/figures.sh                books of 100,000 and 1,000,000 entries
#   bench/figures.sh --small N      every figure on books of N entries, one run each: keeps
#                                   the script and the benchmarks working (CI), no goals
#
# BUILD (default build) names the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
sizes=(100000 1000000)
repetitions=5
if [ "${1:-}" = --small ]; then
  small=${2:-2000}
  sizes=("$small")
  repetitions=1
  export VORELLE_BENCH_ENTRIES=$small RUNS=1
fi
export QT_QPA_PLATFORM=offscreen
echo "load: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) processors"
echo
echo "## The command line against the keyed shell (processor seconds, medians of pairs)"
echo
CLI="$build/cli/vorelle-cli" bench/cli-vs-shell.sh "${sizes[@]}"
echo
echo "## The pages (milliseconds of one view, median of $repetitions; books of ${VORELLE_BENCH_ENTRIES:-1000000} entries)"
echo
echo "| figure | real ms | processor ms |"
echo "|---|---:|---:|"
# figure TITLE PROGRAM FILTER: the median real and processor time of the benchmark FILTER names.
figure() {
  local title=$1 program=$build/bench/$2 filter=$3 out
  out=$("$program" --benchmark_filter="$filter" --benchmark_repetitions="$repetitions" \
          --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null) ||
    { echo "figures: $2 failed on $filter" >&2; exit 1; }
  local line
  line=$(printf '%s\n' "$out" | grep -E '^"[^"]*(_median)?",' | grep -v '_mean\|_stddev\|_cv' | tail -1)
  [ -n "$line" ] || { echo "figures: $2 gave no figure for $filter" >&2; printf '%s\n' "$out" >&2; exit 1; }
  case "$line" in *',"'*) echo "figures: $2 reported an error for $filter: $line" >&2; exit 1 ;; esac
  printf '%s\n' "$line" | awk -F, -v title="$title" '{ printf "| %s | %.1f | %.1f |\n", title, $3, $4 }'
}
figure "record page, all entries shown" list_bench 'BM_RecordPageWindow/1000000'
figure "月统计 (twelve months)" vorelle_bench 'BM_MonthCrosstab12/1000000'
figure "年统计 (ten years)" vorelle_bench 'BM_YearCrosstab10/1000000'
figure "budget page, year view" budget_bench 'BM_BudgetYear$'
figure "phone: POST with a budget notice" web_bench 'BM_PostEntry/1000000/1'
