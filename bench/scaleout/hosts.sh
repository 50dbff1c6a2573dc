#!/usr/bin/env bash
# A plan run by GNU parallel over SSH on two "machines" against one: an sshd of the benchmark's
# own on each of 127.0.0.2 and 127.0.0.3, each pinned to a core of its own with taskset, so every
# job it runs stays on that core. The speed-up of two machines over one, for the plan's lines
# (clipforge-batch job) and, as the anchor, for plan --raw's bare converter lines.
# Median of 3 runs each, interleaved. Usage: hosts.sh PATH_TO_CLIPFORGE_BATCH
set -euo pipefail
batch=${1:?usage: hosts.sh PATH_TO_CLIPFORGE_BATCH}
for tool in parallel taskset ssh ssh-keygen /usr/sbin/sshd; do
  command -v "$tool" >/dev/null || { echo "hosts: $tool is missing (Debian packages parallel, openssh-server)" >&2; exit 1; }
done
[ "$(nproc)" -ge 2 ] || { echo "hosts: needs two cores" >&2; exit 1; }
source "$(dirname "$0")/../queue/setup.sh"
servers=()
trap 'for pid in "${servers[@]}"; do kill "$pid" 2>/dev/null; done; rm -rf "$work"' EXIT
clips=${CLIPS:-12}
make_program_folder "$app" "$batch" "-n -c:v libx264 -preset fast -c:a aac -b:a 64k" mp4
# Three-second clips: a job's SSH session costs the same however long it converts, and real jobs
# convert for minutes.
mkdir -p "$work/clips"
ffmpeg -v error -f lavfi -i testsrc=duration=3:size=640x360:rate=25 -f lavfi -i sine=duration=3 \
  -c:v mpeg4 -c:a aac -shortest "$work/clips/clip00.mp4"
for i in $(seq -w 1 $((clips - 1))); do cp "$work/clips/clip00.mp4" "$work/clips/clip$i.mp4"; done
"$app/clipforge-batch" make "$work/queue.kxl" --profile 0 "$work"/clips/*.mp4
"$app/clipforge-batch" plan "$work/queue.kxl" >"$work/lines.sh"
"$app/clipforge-batch" plan --raw "$work/queue.kxl" >"$work/raw.sh"

ssh_folder=$work/ssh
mkdir -p "$ssh_folder" /run/sshd
ssh-keygen -q -t ed25519 -N '' -f "$ssh_folder/host_key"
ssh-keygen -q -t ed25519 -N '' -f "$ssh_folder/user_key"
cp "$ssh_folder/user_key.pub" "$ssh_folder/authorized_keys"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.2", 0)); print(s.getsockname()[1])')
cat >"$ssh_folder/ssh_config" <<CONF
Host *
  Port $port
  IdentityFile $ssh_folder/user_key
  IdentitiesOnly yes
  BatchMode yes
  StrictHostKeyChecking no
  UserKnownHostsFile /dev/null
  LogLevel ERROR
CONF
# start_server ADDRESS CORE: an sshd on ADDRESS:$port whose every session runs on CORE.
start_server() {
  local config=$ssh_folder/sshd_$1
  cat >"$config" <<CONF
Port $port
ListenAddress $1
HostKey $ssh_folder/host_key
AuthorizedKeysFile $ssh_folder/authorized_keys
PasswordAuthentication no
KbdInteractiveAuthentication no
PermitRootLogin prohibit-password
StrictModes no
UsePAM no
PidFile none
CONF
  taskset -c "$2" /usr/sbin/sshd -D -e -f "$config" 2>"$config.log" &
  servers+=($!)
  for _ in $(seq 100); do
    grep -q "Server listening" "$config.log" && return 0
    sleep 0.1
  done
  echo "hosts: sshd on $1 did not start: $(cat "$config.log")" >&2
  exit 1
}
start_server 127.0.0.2 0
start_server 127.0.0.3 1
printf '1/127.0.0.2\n' >"$work/one"
printf '1/127.0.0.2\n1/127.0.0.3\n' >"$work/two"

# timed PLAN HOSTS: seconds GNU parallel takes to run PLAN on HOSTS, from an empty output folder.
timed() {
  rm -f "$app"/convert/*
  local start; start=$(now)
  parallel --ssh "ssh -F $ssh_folder/ssh_config" --sshloginfile "$2" <"$1" >/dev/null 2>&1
  awk -v a="$(now)" -v b="$start" 'BEGIN { print a - b }'
}
lines1=() lines2=() raw1=() raw2=()
for _ in 1 2 3; do
  lines1+=("$(timed "$work/lines.sh" "$work/one")")
  lines2+=("$(timed "$work/lines.sh" "$work/two")")
  raw1+=("$(timed "$work/raw.sh" "$work/one")")
  raw2+=("$(timed "$work/raw.sh" "$work/two")")
done
lines1=$(printf '%s\n' "${lines1[@]}" | median)
lines2=$(printf '%s\n' "${lines2[@]}" | median)
raw1=$(printf '%s\n' "${raw1[@]}" | median)
raw2=$(printf '%s\n' "${raw2[@]}" | median)
printf 'plan on two machines (%s clips): one %.2f s, two %.2f s, speed-up %.2f (goal >= 1.8)\n' \
  "$clips" "$lines1" "$lines2" "$(ratio "$lines1" "$lines2")"
printf 'plan --raw on two machines: one %.2f s, two %.2f s, speed-up %.2f; plan against plan --raw on two: ratio %.3f\n' \
  "$raw1" "$raw2" "$(ratio "$raw1" "$raw2")" "$(ratio "$lines2" "$raw2")"
