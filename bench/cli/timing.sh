# Timing helpers for the benchmark scripts (sourced, not run).

now() { date +%s.%N; }

# Wall-clock seconds of one run of the command; a failed run ends the script.
time_of() {
  local start end
  start=$(now)
  if ! "$@" > /dev/null; then
    echo "failed: $*" >&2
    exit 1
  fi
  end=$(now)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.6f", e - s }'
}

# The smallest of the times given, and the middle one (the lower middle for
# an even count).
min_of() { printf '%s\n' "$@" | sort -n | head -1; }
median_of() { printf '%s\n' "$@" | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }

# a / b to two decimals.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# Processor seconds (user + system, GNU time's) of one run of the command,
# to two decimals: on a shared machine it says what wall-clock times cannot.
cpu_seconds() { /usr/bin/time -f '%U %S' "$@" 2>&1 >/dev/null | tail -1 | awk '{ printf "%.2f", $1 + $2 }'; }

# The files' sizes together in megabytes (10^6 bytes), to one decimal.
mb() { stat -c %s "$@" | awk '{ b += $1 } END { printf "%.1f MB", b / 1e6 }'; }

# Best wall-clock seconds of $runs runs of the command, which writes OUT anew
# each time: best OUT COMMAND...
best() {
  local out="$1" times=()
  shift
  for _ in $(seq "$runs"); do
    rm -f "$out"
    sync
    times+=("$(time_of "$@")")
  done
  printf '%.3f' "$(min_of "${times[@]}")"
}

# The start-up curves at 65536 entries as a vips LUT in WORK/lut.v, so that
# vips maps the samples as apply does: vips_lut CLI WORK.
vips_lut() {
  "$1" table --defaults --size 65536 --max 65535 | awk '{ print $2, $3, $4 }' > "$2/curve.txt"
  python3 - "$2/curve.txt" "$2/lut.raw" <<'PY'
import struct, sys
with open(sys.argv[1]) as src, open(sys.argv[2], "wb") as out:
    for line in src:
        out.write(struct.pack("=3H", *map(int, line.split())))
PY
  vips rawload "$2/lut.raw" "$2/raw.v" 65536 1 3 --format ushort
  vips copy "$2/raw.v" "$2/lut.v" --interpretation rgb16
}

# "identical" when the largest difference of the two images is 0: same A B
# (scratch images in $work).
same() {
  vips subtract "$1" "$2" "$work/d.v" && vips abs "$work/d.v" "$work/a.v" && \
    [ "$(vips max "$work/a.v")" = "0.000000" ] && echo identical || echo DIFFERENT
}
