#!/bin/sh
# Starts the real program on the current X display, waits for its main window, records the
# windows and a screenshot, then asks it to end. Usage: smoke.sh PROGRAM OUTPUT-FOLDER
set -u
program=$1
out=$2
"$program" >"$out/program.log" 2>&1 &
pid=$!
main=""
i=0
while [ $i -lt 300 ]; do
  tree=$(xwininfo -root -tree 2>/dev/null)
  echo "$tree" | grep -q '"SplashDlg' && echo splash >"$out/splash-seen"
  main=$(echo "$tree" | grep '"Norvane Clipforge": ("clipforge"' | awk '{print $1}' | head -n 1)
  if [ -n "$main" ] && xwininfo -id "$main" | grep -q IsViewable; then
    break
  fi
  main=""
  i=$((i + 1))
  sleep 0.1
done
if [ -n "$main" ]; then
  sleep 0.5
  xwininfo -id "$main" >"$out/main-window.txt"
  xwininfo -root -tree >"$out/windows.txt"
  import -window root "$out/screen.png"
fi
kill -TERM $pid
wait $pid
echo $? >"$out/exit-code"
