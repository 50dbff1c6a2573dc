#!/bin/sh
# The watcher's user unit, with the built clipforge-batch as its program, through systemd-analyze
# verify; and its command reads the instance's configuration. Usage: unit.sh UNIT-TEMPLATE PROGRAM
set -u
template=$1
batch=$2
if ! command -v systemd-analyze >/dev/null; then
  echo "SKIPPED: systemd-analyze is not installed (it comes with systemd); the unit is not verified"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

unit=$work/clipforge-watch@camera.service
sed "s|@CLIPFORGE_BATCH@|$batch|" "$template" >"$unit"
# A user manager needs a runtime folder of its own, which a build machine may not have.
mkdir -m 700 "$work/run"
out=$(XDG_RUNTIME_DIR=$work/run systemd-analyze --user --man=no verify "$unit" 2>&1) || fail "systemd-analyze verify: $out"
[ -z "$out" ] || fail "systemd-analyze has remarks: $out"
for line in 'Restart=on-failure' 'SuccessExitStatus=130' 'RestartPreventExitStatus=2' 'KillMode=mixed'; do
  grep -qx "$line" "$unit" || fail "the unit lacks $line"
done

# The command with the specifiers filled in: a profile not found is refused with 2 (no restart).
mkdir -p "$work/config/clipforge/watch" "$work/in"
printf 'watch=%s\nprofile=no such profile\n' "$work/in" >"$work/config/clipforge/watch/camera.conf"
command=$(sed -n 's/^ExecStart=//p' "$unit" | sed "s|%E|$work/config|g; s|%i|camera|g")
out=$(XDG_STATE_HOME=$work/state $command 2>&1)
status=$?
[ "$status" = 2 ] || fail "the unit's command ended with $status, not 2: $out"
echo "$out" | grep -q "no such profile" || fail "the unit's command did not read its configuration: $out"

[ "$failures" -eq 0 ] || exit 1
echo "passed: the unit verifies and its command reads the instance's configuration"
