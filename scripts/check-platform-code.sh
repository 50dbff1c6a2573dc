#!/usr/bin/env bash
# Fails when the operating system's own interface (POSIX, Linux, X11) is used outside the files
# made for it: `.posix.cpp` for POSIX and Linux, `.x11.cpp` for the X display (which may use
# POSIX too). The rest of the code then sees only our own types and functions, and a port to
# another system starts from the list of those files. Signals count: all but two of them, and
# every way to handle them, are the system's rather than the language's.
# Two ways in are refused: including a system header, and calling a system function, whichever
# header brought it (<cstdlib> brings setenv). Calls are read from the source text with comments
# and literals left out; a member (file.open(), QProcess::kill) is not the system's function.
# Prints each use and exits 1.
set -euo pipefail
cd "$(dirname "$0")/.."

system_headers='unistd|fcntl|signal|csignal|dirent|poll|pwd|grp|termios|dlfcn|spawn|pthread|netdb|sched'
system_headers+='|semaphore|utime|fnmatch|glob|syslog|libgen|strings|ftw|langinfo|iconv|wordexp|mntent|ifaddrs'
system_folders='sys|linux|net|netinet|arpa|asm|bits'
# Qt's private headers for Unix and X11 are the system's interface under another name.
toolkit_headers='[^>]*_unix[^>]*|[^>]*_x11[^>]*|[^>]*/private/[^>]*'
display_headers='X11/[^>]*|xcb/[^>]*|[^>]*_x11[^>]*'
include='^[[:space:]]*#[[:space:]]*include[[:space:]]*'
system_pattern="$include<(($system_headers)(\.h)?|($system_folders)/[^>]*|$toolkit_headers)>"
display_pattern="$include<($display_headers)>"

# Names our own classes and Qt's use for members too (read, write, connect, bind) are left to the
# header rule; these are the system's alone.
functions=(setenv unsetenv putenv clearenv fork vfork execv execve execvp execvpe execl execlp execle
  waitpid waitid open openat creat close lseek fsync fdatasync dup dup2 dup3 pipe pipe2 flock fcntl
  ioctl kill killpg sigaction signal sigprocmask pthread_sigmask sigemptyset sigfillset sigaddset
  sigwait getpid getppid getuid geteuid getgid setsid setpgid chdir fchdir getcwd mkdir rmdir unlink
  unlinkat renameat renameat2 symlink readlink lstat fstat fstatat faccessat chmod fchmod chown mmap
  munmap mkstemp mkdtemp realpath opendir readdir closedir poll ppoll epoll_create1 epoll_ctl
  epoll_wait inotify_init1 inotify_add_watch inotify_rm_watch socketpair sendmsg recvmsg prctl
  posix_spawn posix_spawnp isatty tcgetattr tcsetattr sysconf statvfs fstatvfs getrlimit setrlimit
  usleep nanosleep alarm dlopen dlsym ftruncate utimensat futimens umask syscall getpwuid getpwnam
  uname sendfile copy_file_range fdopen fileno)

status=0
refuse() {
  echo "$1" >&2
  status=1
}

files=$(find src tools tests bench -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
portable=$(grep -vE '\.(posix|x11)\.cpp$' <<<"$files")
while IFS= read -r hit; do refuse "$hit: system header outside a .posix.cpp file"; done \
  < <(xargs grep -HnoE "$system_pattern" <<<"$portable" | cut -d: -f1,2 || true)
while IFS= read -r hit; do refuse "$hit: display header outside a .x11.cpp file"; done \
  < <(grep -v '\.x11\.cpp$' <<<"$files" | xargs grep -HnoE "$display_pattern" | cut -d: -f1,2 || true)
while IFS= read -r hit; do refuse "$hit: system function called outside a .posix.cpp file"; done \
  < <(perl scripts/system-calls.pl "${functions[@]}" <<<"$portable")
exit "$status"
