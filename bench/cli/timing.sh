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
