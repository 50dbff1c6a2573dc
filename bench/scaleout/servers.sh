# Shared by the scale-out benchmarks (sourced, after ../queue/setup.sh): two "machines", an sshd
# of the benchmark's own on each of 127.0.0.2 and 127.0.0.3, each pinned to a core of its own with
# taskset, so every job it runs stays on that core; "$work/one" and "$work/two" are GNU parallel's
# login files for one and for both; timed PLAN HOSTS runs a plan on them.
for tool in parallel taskset ssh ssh-keygen /usr/sbin/sshd; do
  command -v "$tool" >/dev/null || { echo "scaleout: $tool is missing (Debian packages parallel, openssh-server)" >&2; exit 1; }
done
[ "$(nproc)" -ge 2 ] || { echo "scaleout: needs two cores" >&2; exit 1; }
servers=()
trap 'for pid in "${servers[@]}"; do kill "$pid" 2>/dev/null; done; rm -rf "$work"' EXIT
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
    grep -qs "Server listening" "$config.log" && return 0
    sleep 0.1
  done
  echo "scaleout: sshd on $1 did not start: $(cat "$config.log")" >&2
  exit 1
}
start_server 127.0.0.2 0
start_server 127.0.0.3 1
printf '1/127.0.0.2\n' >"$work/one"
printf '1/127.0.0.2\n1/127.0.0.3\n' >"$work/two"

# timed PLAN HOSTS: seconds GNU parallel takes to run PLAN on HOSTS, from an empty output folder
# (a split plan's folders of pieces included).
timed() {
  rm -rf "$app/convert" && mkdir "$app/convert"
  local start; start=$(now)
  parallel --ssh "ssh -F $ssh_folder/ssh_config" --sshloginfile "$2" <"$1" >/dev/null 2>&1
  awk -v a="$(now)" -v b="$start" 'BEGIN { print a - b }'
}
