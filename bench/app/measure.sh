#!/bin/sh
# Runs one mode of app_bench several times on the current display; prints the median of the
# figure it reports. Usage: measure.sh BENCH MODE VALUE|launch RUNS
bench=$1 mode=$2 value=$3 runs=$4
i=0
while [ $i -lt "$runs" ]; do
  arg=$value
  [ "$value" = launch ] && arg=$(date +%s%N)
  "$bench" "$mode" "$arg" 2>/dev/null | awk '{print $2}'
  i=$((i + 1))
done | sort -n | awk '{v[NR]=$1} END {print v[int((NR + 1) / 2)]}'
