#!/usr/bin/env bash
# The command line as users and scripts run it: whole processes, processor time (user +
# system) of each run, paired against the SQLite shell (sqlcipher) doing the least the same
# answer needs on the same encrypted book: a keyed open, then the grouped scan, the select
# or the insert. Runs alternate (program, shell, program, ...) so that a comparison holds
# while the machine's speed drifts; the ratio is taken pair by pair and its median printed.
#
#   bench/cli-vs-shell.sh [SIZE ...]      sizes of the books, default 100000 1000000
#
# CLI (default build/cli/vorelle-cli) names the program, RUNS (default 5) the pairs per figure.
# Needs the sqlcipher shell and python3.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${CLI:-build/cli/vorelle-cli}")
runs=${RUNS:-5}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(100000 1000000)
for tool in sqlcipher python3; do
  command -v "$tool" >/dev/null || { echo "cli-vs-shell: $tool is needed" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VORELLE_BOOK_PASSWORD=bench-book VORELLE_PASSWORD=bench-user
key="pragma key='$VORELLE_BOOK_PASSWORD';"
user=老王
first_year=2016 last_year=2025 month_year=2024

# Processor seconds (user + system) of one run of the command, as the kernel accounted it.
cpu() {
  python3 - "$@" 2>"$work/stderr" <<'PY' || { echo "cli-vs-shell: failed: $*" >&2; cat "$work/stderr" >&2; exit 1; }
import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, check=True)
used = resource.getrusage(resource.RUSAGE_CHILDREN)
print(f"{used.ru_utime + used.ru_stime:.4f}")
PY
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# figure NAME -- PROGRAM ARGS... -- SHELL ARGS...: one warm-up each, then RUNS pairs.
figure() {
  local name=$1; shift; shift
  local a=() b=()
  while [ "$1" != -- ]; do a+=("$1"); shift; done
  shift
  b=("$@")
  cpu "${a[@]}" >/dev/null; cpu "${b[@]}" >/dev/null
  : >"$work/a"; : >"$work/b"; : >"$work/r"
  for _ in $(seq "$runs"); do
    local ta tb
    ta=$(cpu "${a[@]}"); tb=$(cpu "${b[@]}")
    echo "$ta" >>"$work/a"; echo "$tb" >>"$work/b"
    awk -v a="$ta" -v b="$tb" 'BEGIN { printf "%.3f\n", (b > 0 ? a / b : 0) }' >>"$work/r"
  done
  printf '%-22s %9s %9s %7s  (%s–%s)\n' "$name" "$(median <"$work/a")" "$(median <"$work/b")" \
    "$(median <"$work/r")" "$(sort -g "$work/r" | head -1)" "$(sort -g "$work/r" | tail -1)"
}

# The record page's CSV file of n entries (UTF-8), and the same entries as the rows of
# zorb_record for the shell's import (the categories of a new book: 1-10 expenses, 11 工资).
make_files() {
  local n=$1
  awk -v n="$n" -v y0="$first_year" -v years=$((last_year - first_year + 1)) -v user="$user" '
    BEGIN {
      split("饮食 娱乐 交通 通讯 社交 亲情 居家 保健 学习 恋爱 工资", type, " ")
      print "日期,分类,费用名称,金额,用户,类别,注释" > "/dev/stdout"
      for (i = 0; i < n; i++) {
        t = i % 11 + 1
        income = t == 11
        yearly = !income && i % 17 == 0
        cents = income ? 100000 + i % 1000 : -(100 + (i * 37) % 20000)
        date = sprintf("%04d-%02d-%02d", y0 + i % years, int(i / years) % 12 + 1, int(i / 120) % 28 + 1)
        mode = income ? "月收入" : (yearly ? "年开销" : "月开销")
        printf "%s,%s,条目%d,%.2f,%s,%s,\r\n", date, type[t], i % 1000, cents / 100, user, mode
        printf "%d,1,%d,条目%d,%d,,%d,%s 00:00:00,1,,%s 00:00:00,%s 00:00:00,1\n", i + 1, t, i % 1000, cents,
               yearly ? 1 : 0, date, date, date > "/dev/stderr"
      }
    }' >"$work/records-$n.csv" 2>"$work/rows-$n.csv"
  cat >"$work/import-$n.sql" <<SQL
$key
.mode csv
begin;
.import $work/rows-$n.csv zorb_record
update zorb_user set single_account = single_account + (select sum(expense) from zorb_record), public_account = public_account + (select sum(expense) from zorb_record) where sn = 1;
commit;
SQL
}

echo "load: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) processors; processor seconds, medians of $runs pairs"
printf '%-22s %9s %9s %7s\n' "" "program" "shell" "ratio"
for n in "${sizes[@]}"; do
  make_files "$n"
  book="$work/book-$n.book" empty="$work/empty.book"
  rm -f "$empty" "$book"
  "$cli" --book "$empty" create --admin "$user" >/dev/null
  cp "$empty" "$book"
  "$cli" --book "$book" --user "$user" import "$work/records-$n.csv" >/dev/null
  echo "$n entries"
  figure balance -- "$cli" --book "$book" --user "$user" balance \
    -- sqlcipher "$book" "$key select public_account, (select single_account from zorb_user where valid = '1' and user_name = '$user') from zorb_user where valid = '1' and power = '0';"
  figure "report year" -- "$cli" --book "$book" --user "$user" report year \
    -- sqlcipher "$book" "$key select t.type_name, substr(r.record_time, 1, 4), sum(r.expense) from zorb_record r, zorb_expense_type t where r.valid = '1' and t.valid = '1' and t.sn = r.type_sn and r.statistics_mode <> '2' group by t.kind, t.sn, substr(r.record_time, 1, 4);"
  figure "report month $month_year" -- "$cli" --book "$book" --user "$user" report month "$month_year" \
    -- sqlcipher "$book" "$key select t.type_name, substr(r.record_time, 1, 7), sum(r.expense) from zorb_record r, zorb_expense_type t where r.valid = '1' and t.valid = '1' and t.sn = r.type_sn and r.statistics_mode = '0' and r.record_time >= '$month_year-01-01' and r.record_time < '$((month_year + 1))-01-01' group by t.kind, t.sn, substr(r.record_time, 1, 7);"
  figure export -- "$cli" --book "$book" --user "$user" export "$work/out.csv" --from "$first_year-01-01" --to "$last_year-12-31" \
    -- sqlcipher -csv "$book" "$key select substr(r.record_time, 1, 10), t.type_name, r.expense_name, r.expense / 100.0, u.user_name, r.statistics_mode, r.comment from zorb_record r, zorb_expense_type t, zorb_user u where r.valid = '1' and t.sn = r.type_sn and u.sn = r.user_sn and r.record_time >= '$first_year-01-01' and r.record_time < '$((last_year + 1))-01-01' order by r.record_time desc;"
  figure import -- sh -c "cp '$empty' '$work/run.book' && exec '$cli' --book '$work/run.book' --user '$user' import '$work/records-$n.csv'" \
    -- sh -c "cp '$empty' '$work/run.book' && exec sqlcipher '$work/run.book' <'$work/import-$n.sql'"
done
