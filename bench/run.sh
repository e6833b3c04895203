#!/usr/bin/env bash
# Wall time and peak memory of quorvell on a large generated data set.
#
# Usage: bench/run.sh BINARY     (COMPANIES=10000 REPORTS=20 by default)
#
# Scenarios, each started in bench/out/ with its output going to a file there:
#   1   start, append columns 2 to 10 one by one (all ten shown), one more
#       display (an ignored word), quit
#   1r  start, load a save.dat that shows all ten columns, quit: the first
#       display already holds the whole table
#   2   100 commands: column edits, sorts both ways, currency flips, five
#       visits to a company's detail view
#   floor  cat of every input file, plus writing as many bytes as the
#       scenario's standard output to a file
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 BINARY" >&2
  exit 2
fi
if [ ! -x /usr/bin/time ]; then
  echo "/usr/bin/time is missing; run 'bash .ci/deps' to install it" >&2
  exit 1
fi
binary=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
out="$here/out"
companies=${COMPANIES:-10000}
reports=${REPORTS:-20}

params="$companies companies, $reports reports"
if [ "$(cat "$out/params" 2>/dev/null)" != "$params" ]; then
  rm -rf "$out"
  python3 "$here/gen_data.py" "$out" --companies "$companies" --reports "$reports"
  echo "$params" >"$out/params"
fi

# measure NAME INPUT_FILE COMMAND...: runs the command in $out with the input,
# stdout to NAME.out; sets wall (s), rss (MB) and size (bytes of stdout).
measure() {
  local name=$1 input=$2
  shift 2
  local t0=$EPOCHREALTIME
  (cd "$out" && /usr/bin/time -v -o "$name.time" "$@" <"$input" >"$name.out")
  local t1=$EPOCHREALTIME
  wall=$(echo "$t0 $t1" | awk '{printf "%.3f", $2 - $1}')
  rss=$(awk -F': ' '/Maximum resident/ {printf "%.1f", $2 / 1024}' "$out/$name.time")
  size=$(stat -c %s "$out/$name.out")
}

session2() {
  local r
  for r in 1 2 3 4 5; do  # 20 commands per round
    printf 'n\n2\nn\n5\nn\n9\ns\n2\nj\ns\n3\nn\nw\ni\n4\n1\ns\n4\nn\nl\n2\n'
    printf 'n\n7\nn\n10\ns\n5\nj\nw\n'
    printf 'f\n%d\nn\n2\ns\n2\nn\nw\nf\n' $((r * companies / 6 + 1))
    printf 'n\n3\ns\n2\nn\n'
  done
  printf 'q\n'
}

{ for c in 2 3 4 5 6 7 8 9 10; do printf 'n\n%d\n' "$c"; done; printf 'x\nq\n'; } >"$out/s1.in"
printf 'j\nq\n' >"$out/s1r.in"
session2 >"$out/s2.in"
printf '0\n0\n5\n%d\n10\n0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n0\n1\n' "$companies" >"$out/s1r.save"

rows=()
floor_read=""
for s in s1 s1r s2; do
  rm -f "$out/save.dat"
  [ "$s" = s1r ] && cp "$out/s1r.save" "$out/save.dat"
  measure "$s" "$out/$s.in" "$binary"
  tables=$(grep -c 'f - Firmendaten abrufen' "$out/$s.out" || true)
  details=$(grep -c 'f - Zurueck zum Firmen-Menue' "$out/$s.out" || true)
  s_wall=$wall s_rss=$rss s_size=$size
  if [ -z "$floor_read" ]; then
    measure cat /dev/null sh -c 'cat config/index.txt data/* >/dev/null'
    floor_read=$wall
  fi
  measure write /dev/null head -c "$s_size" /dev/zero
  floor=$(echo "$floor_read $wall" | awk '{printf "%.3f", $1 + $2}')
  rows+=("$(echo "$s $s_wall $s_rss $s_size $tables $details $floor" | awk '{
    per = $5 ? $2 / $5 : 0
    printf "%-5s %8.3f %9.1f %10.1f %7d %7d %11.4f %8.3f %7.1fx\n",
           $1, $2, $3, $4 / 1048576, $5, $6, per, $7, ($7 > 0 ? $2 / $7 : 0)}')")
done

echo "quorvell on $params ($(nproc) cores); output in $out"
printf '%-5s %8s %9s %10s %7s %7s %11s %8s %8s\n' scen wall_s peak_MB stdout_MB \
  tables details s/table floor_s ratio
printf '%s\n' "${rows[@]}"
echo "tables: displays of the company table; details: of a detail view;"
echo "s/table: wall time / company-table displays (start-up and detail views included);"
echo "floor: cat of all input files ($floor_read s) + writing stdout's size to a file."
