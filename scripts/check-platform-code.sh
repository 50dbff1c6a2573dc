#!/usr/bin/env bash
# Fails when a header of the operating system's own interface (POSIX, Linux) is included outside
# a `.posix.cpp` file. The rest of the code then sees only our own types and functions, and a port
# to another system starts from the list of `.posix.cpp` files. Signals count: all but two of
# them, and every way to handle them, are the system's rather than the language's.
# Prints each such include and exits 1.
set -euo pipefail
cd "$(dirname "$0")/.."

system_headers='unistd|fcntl|signal|csignal|dirent|poll|pwd|grp|termios|dlfcn|spawn|pthread|netdb|sched'
system_headers+='|semaphore|utime|fnmatch|glob|syslog|libgen|strings|ftw|langinfo|iconv|wordexp|mntent'
system_folders='sys|linux|netinet|arpa'
pattern="^[[:space:]]*#[[:space:]]*include[[:space:]]*<(($system_headers)(\.h)?|($system_folders)/[^>]*)>"

status=0
while IFS= read -r hit; do
  echo "$hit: system header outside a .posix.cpp file" >&2
  status=1
done < <(grep -rnE --include='*.h' --include='*.cpp' "$pattern" src tools tests bench |
         grep -vE '^[^:]+\.posix\.cpp:' || true)
exit "$status"
