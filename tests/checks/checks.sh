#!/usr/bin/env bash
# The two boundary checks (scripts/check-includes.sh, scripts/check-platform-code.sh) against
# faults planted one at a time in a scratch copy of the tree: each must be refused, naming the
# planted file, and each harmless look-alike must pass. Usage: checks.sh SOURCE_TREE
set -euo pipefail
tree=$(cd "${1:-$(dirname "$0")/../..}" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for part in src tools tests bench scripts; do
  cp -r "$tree/$part" "$scratch/"
done

failures=0
fail() {
  echo "FAIL: $1" >&2
  failures=$((failures + 1))
}

# check  expected  planted file  its text
plant() {
  local check=$1 expected=$2 file=$3 text=$4 output status=0
  mkdir -p "$scratch/$(dirname "$file")"
  printf '%b\n' "$text" >"$scratch/$file"
  output=$("$scratch/scripts/$check" 2>&1) || status=$?
  rm -f "$scratch/$file"
  rmdir -p --ignore-fail-on-non-empty "$scratch/$(dirname "$file")" 2>/dev/null || true
  if [[ $expected == refuses && ( $status -eq 0 || $output != *"$file"* ) ]]; then
    fail "$check passed $file: $text"
  elif [[ $expected == passes && $status -ne 0 ]]; then
    fail "$check refused $file: $text -> $output"
  fi
}

for check in check-includes.sh check-platform-code.sh; do
  "$scratch/scripts/$check" || fail "$check refuses the tree as it is"
done

i=check-includes.sh
plant $i refuses src/dialogs/Planted.cpp '#include "../engine/Command.h"'
plant $i refuses src/dialogs/Planted.cpp '#include "../app/UIHook.h"'
plant $i refuses src/core/Planted.cpp '#include "engine/Command.h"'
plant $i refuses src/controls/Planted.cpp '#include <core/FileSystem.h>'
plant $i refuses src/engine/Planted.h '  #  include "controls/Color.h"'
plant $i refuses src/app/Planted.cpp '#include "Nowhere.h"'
plant $i refuses src/network/Planted.cpp '#include "core/FileSystem.h"'
plant $i refuses src/core/Planted.hpp '#include "core/FileSystem.h"'
plant $i refuses tools/batch/Planted.cc '#include "core/FileSystem.h"'
plant $i refuses tests/core/PlantedTest.cpp '#include "app/UIHook.h"'
plant $i refuses tests/dialogs/PlantedTest.cpp '#include "engine/Command.h"'
plant $i refuses tests/fuzz/PlantedTest.cpp '#include "support/TempFolder.h"'
plant $i refuses tests/newkind/PlantedTest.cpp '#include "core/FileSystem.h"'
plant $i refuses tools/supervisor/Planted.cpp '#include "../batch/Joblog.h"'
plant $i passes src/dialogs/Planted.cpp '#include "../core/FileSystem.h"\n#include <QWidget>\n#include <vector>'
plant $i passes tests/engine/PlantedTest.cpp '#include "engine/Command.h"\n#include "core/FileSystem.h"\n#include "support/TempFolder.h"'
plant $i passes tests/app/PlantedTest.cpp '#include "dialogs/ScriptedDialogs.h"\n#include "AppFixture.h"'

p=check-platform-code.sh
plant $p refuses tests/support/Planted.h '#include <cstdlib>\ninline void set() { setenv("A", "b", 1); }'
plant $p refuses src/engine/Planted.cpp 'int start() { return ::fork(); }'
plant $p refuses tools/batch/Planted.cpp 'void end(int pid) { if (pid > 0) kill(pid, 15); }'
plant $p refuses src/core/Planted.cpp 'int lock(int fd) { return flock(fd, 2); }'
plant $p refuses src/core/Planted.cpp 'int make() {\n    return open("/tmp/x", 0);\n}'
plant $p refuses src/core/Planted.cpp '#include <net/if.h>'
plant $p refuses src/app/Planted.cpp '#include <QtCore/private/qcore_unix_p.h>'
plant $p refuses src/app/Planted.cpp '#include <sys/stat.h>'
plant $p refuses src/app/Planted.posix.cpp '#include <xcb/xcb.h>'
plant $p refuses bench/queue/Planted.cpp 'void quit() { signal(2, nullptr); }'
plant $p passes src/app/Planted.x11.cpp '#include <xcb/xcb.h>\n#include <unistd.h>'
plant $p passes src/core/Planted.posix.cpp '#include <unistd.h>\nint start() { return ::fork(); }'
plant $p passes src/core/Planted.cpp '// setenv("A", "b", 1) would be wrong here\nconst char* text = "kill(1, 9)";'
plant $p passes src/core/Planted.cpp 'void f(QFile& file, QProcess* p) { file.open(QIODevice::ReadOnly); p->kill(); QProcess::kill(); close(); }'
plant $p passes src/core/Planted.h 'class Door {\npublic:\n    bool open(int how);\n    void kill(int signal);\n};'

if ((failures > 0)); then
  echo "$failures planted faults or look-alikes judged wrongly" >&2
  exit 1
fi
echo "both checks refused every planted fault and passed every look-alike"
