# Figures the benchmarks share; sourced, not run.

# The middle of the numbers on standard input, one a line (the lower middle of an even count).
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { print a / b }'; }

# interleaved RUNS A B: runs the commands A and B (each a string of words, run by eval and
# printing seconds) one after the other RUNS times, so both meet the same machine, and prints
# the median of each.
interleaved() {
  local runs=$1 a=() b=()
  for _ in $(seq "$runs"); do
    a+=("$(eval "$2")")
    b+=("$(eval "$3")")
  done
  echo "$(printf '%s\n' "${a[@]}" | median) $(printf '%s\n' "${b[@]}" | median)"
}
