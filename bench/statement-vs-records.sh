#!/usr/bin/env bash
# A downloaded statement against the record page's file of the same entries, as users run
# them: whole processes of `vorelle-cli import`, processor time (user + system) and peak
# memory of each run, each into a fresh copy of the same new book. Runs alternate
# (statement, records, statement, ...) so that a comparison holds while the machine's
# speed drifts; the ratio is taken pair by pair and its median printed.
#
#   bench/statement-vs-records.sh [ROWS]      trades in the statement, default 100000
#
# CLI (default build/cli/vorelle-cli) names the program, RUNS (default 5) the pairs.
# Needs python3.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${CLI:-build/cli/vorelle-cli}")
runs=${RUNS:-5}
rows=${1:-100000}
command -v python3 >/dev/null || { echo "statement-vs-records: python3 is needed" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VORELLE_BOOK_PASSWORD=bench-book VORELLE_PASSWORD=bench-user
user=老王

# An Alipay statement of rows trades (every twentieth closed, so not booked) and the
# entries its import books, as the record page's file.
python3 - "$rows" "$user" "$work" <<'PY'
import sys
rows, user, work = int(sys.argv[1]), sys.argv[2], sys.argv[3]
# The app's kind of trade, the book's category the import files it under, shop and goods.
shops = [("餐饮美食", "饮食", "早餐铺", "豆浆油条"), ("交通出行", "交通", "滴滴出行", "快车"),
         ("日用百货", "居家", "超市", "日用品"), ("充值缴费", "通讯", "中国移动", "话费"),
         ("服饰装扮", "服饰", "网店", "T恤"), ("文化休闲", "娱乐", "影城", "电影票")]
with open(f"{work}/statement.csv", "w", encoding="utf-8", newline="") as s, \
     open(f"{work}/records.csv", "w", encoding="utf-8", newline="") as r:
    s.write(f"支付宝交易明细\n共{rows}笔记录\n------------------------------------\n"
            "交易时间,交易分类,交易对方,对方账号,商品说明,收/支,金额,收/付款方式,交易状态,交易订单号,商家订单号,备注,\n")
    r.write("日期,分类,费用名称,金额,用户,类别,注释\r\n")
    for i in range(rows):
        kind, category, shop, goods = shops[i % 6]
        time = f"2024-{1 + i % 12:02d}-{1 + i % 28:02d} {8 + i % 12:02d}:{i % 60:02d}:00"
        amount = f"{5 + i % 200}.{i % 100:02d}"
        closed = i % 20 == 0
        trade = f"20240{i:016d}"
        s.write(f"{time},{kind},{shop},/,{goods},支出,{amount},余额,{'交易关闭' if closed else '交易成功'},"
                f"{trade}\t,M{i:016d}\t,,\n")
        if not closed:
            r.write(f"{time},{category},{goods},-{amount},{user},月开销,支付宝 订单号{trade} {shop} {goods}\r\n")
PY

# Processor seconds (user + system) and peak megabytes of one run, as the kernel accounted them.
run() {
  python3 - "$@" 2>"$work/stderr" <<'PY' || { echo "statement-vs-records: failed: $*" >&2; cat "$work/stderr" >&2; exit 1; }
import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, check=True)
used = resource.getrusage(resource.RUSAGE_CHILDREN)
print(f"{used.ru_utime + used.ru_stime:.3f} {used.ru_maxrss / 1024:.0f}")
PY
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

"$cli" --book "$work/empty.book" create --admin "$user" >/dev/null
import() { echo "cp '$work/empty.book' '$work/run.book' && exec '$cli' --book '$work/run.book' --user '$user' import '$work/$1'"; }
run sh -c "$(import statement.csv)" >/dev/null
run sh -c "$(import records.csv)" >/dev/null
echo "load: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) processors; $rows trades, $runs pairs"
printf '%-6s %10s %6s %10s %6s %7s\n' pair statement MB records MB ratio
: >"$work/a"; : >"$work/b"; : >"$work/r"
for i in $(seq "$runs"); do
  read -r ta ma < <(run sh -c "$(import statement.csv)")
  read -r tb mb < <(run sh -c "$(import records.csv)")
  ratio=$(awk -v a="$ta" -v b="$tb" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
  echo "$ta" >>"$work/a"; echo "$tb" >>"$work/b"; echo "$ratio" >>"$work/r"
  printf '%-6s %10s %6s %10s %6s %7s\n' "$i" "$ta" "$ma" "$tb" "$mb" "$ratio"
done
printf '%-6s %10s %6s %10s %6s %7s  (%s–%s)\n' median "$(median <"$work/a")" "" "$(median <"$work/b")" "" \
  "$(median <"$work/r")" "$(sort -g "$work/r" | head -1)" "$(sort -g "$work/r" | tail -1)"
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
