#!/bin/sh
# Installs the build into a staging folder, as a package would, and checks the result.
# Usage: install.sh BUILD-FOLDER tree     the installed files, the desktop entry, the software
#                                         centre data and both programs through their links
#        install.sh BUILD-FOLDER as-user  an ordinary user converts with the installed
#                                         clipforge-batch; the output lands in that user's videos
#                                         folder (needs root for runuser; exit 77 skips)
set -u
build=$1
mode=$2
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
chmod 755 "$stage"
if ! DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$stage.log" 2>&1; then
  cat "$stage.log" >&2
  rm -f "$stage.log"
  echo "FAIL: cmake --install" >&2
  exit 1
fi
rm -f "$stage.log"
usr=$stage/usr
program=$usr/lib/clipforge

# PNG width and height, from the image header.
png_size() {
  od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d\n", $3 * 256 + $4, $7 * 256 + $8 }'
}

check_tree() {
  expected="bin/clipforge
bin/clipforge-batch
lib/clipforge/bin/ffmpeg
lib/clipforge/bin/ffprobe
lib/clipforge/clipforge
lib/clipforge/clipforge-batch
lib/clipforge/clipforge-packets
lib/clipforge/clipforge-supervisor
lib/clipforge/command
lib/clipforge/help/index.html
lib/systemd/user/clipforge-watch@.service
share/applications/clipforge.desktop"
  for size in 16 32 48 64 128 256; do
    expected="$expected
share/icons/hicolor/${size}x${size}/apps/clipforge.png"
  done
  expected="$expected
share/doc/clipforge/changelog.Debian.gz
share/doc/clipforge/copyright
share/man/man1/clipforge-batch.1.gz
share/man/man1/clipforge.1.gz
share/metainfo/com.norvane.clipforge.metainfo.xml"
  actual=$(cd "$usr" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
  expected=$(echo "$expected" | LC_ALL=C sort)
  [ "$actual" = "$expected" ] || fail "installed files differ:
$(echo "$expected" >"$stage/expected"; echo "$actual" | diff "$stage/expected" - )"

  for exe in clipforge clipforge-batch; do
    [ -x "$program/$exe" ] && [ ! -L "$program/$exe" ] || fail "$exe is not a program in the program folder"
    [ "$(readlink "$usr/bin/$exe")" = "../lib/clipforge/$exe" ] || fail "bin/$exe is not a relative link into the program folder"
  done
  target=$(readlink "$program/bin/ffmpeg")
  [ -x "$target" ] && [ "${target#/}" != "$target" ] || fail "bin/ffmpeg does not link to the system's ffmpeg ($target)"
  [ ! -e "$program/convert" ] || fail "the program folder carries an output folder"
  grep -qx 'ExecStart=/usr/bin/clipforge-batch watch --config %E/clipforge/watch/%i.conf' \
    "$usr/lib/systemd/user/clipforge-watch@.service" || fail "the watcher's unit does not start the installed program"
  grep -q '<b id="version">[0-9]' "$program/help/index.html" || fail "the installed guide does not name the version"
  for size in 16 32 48 64 128 256; do
    got=$(png_size "$usr/share/icons/hicolor/${size}x${size}/apps/clipforge.png")
    [ "$got" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $got"
  done
  for page in clipforge clipforge-batch; do
    gzip -t "$usr/share/man/man1/$page.1.gz" 2>/dev/null || fail "the manual page $page(1) is not gzip"
    gzip -dc "$usr/share/man/man1/$page.1.gz" | grep -q "^\.TH $(echo "$page" | tr a-z A-Z) 1" || fail "the manual page $page(1) has no title"
  done

  # Debian's documents: a copyright file in the machine-readable format whose every Files
  # paragraph names a licence, and a changelog whose newest entry is this version.
  doc=$usr/share/doc/clipforge
  head -1 "$doc/copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    || fail "the copyright file is not in the machine-readable format"
  [ "$(grep -c '^Files:' "$doc/copyright")" -ge 1 ] && \
    [ "$(grep -c '^Files:' "$doc/copyright")" = "$(awk '/^Files:/ { f = 1 } f && /^License:/ { n++; f = 0 } END { print n + 0 }' "$doc/copyright")" ] \
    || fail "a Files paragraph of the copyright file names no licence"
  version=$("$usr/bin/clipforge-batch" --version 2>&1 | awk '{ print $NF }')
  gzip -t "$doc/changelog.Debian.gz" 2>/dev/null || fail "changelog.Debian.gz is not gzip"
  gzip -dc "$doc/changelog.Debian.gz" | head -1 | grep -q "^clipforge ($version) " \
    || fail "the changelog's newest entry is not version $version"
  [ "$("$usr/bin/clipforge" --version 2>&1)" = "clipforge (Norvane Clipforge) $version" ] \
    || fail "clipforge --version does not read like clipforge-batch --version"
  [ "$("$usr/bin/clipforge-batch" --version 2>&1)" = "clipforge-batch (Norvane Clipforge) $version" ] \
    || fail "clipforge-batch --version is not in the programs' one form"

  desktop=$usr/share/applications/clipforge.desktop
  out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
  grep -qx 'Exec=clipforge %F' "$desktop" || fail "the desktop entry does not hand files to the program"
  # Every extension the Add filter offers has its MIME type in the entry.
  for type in video/mpeg video/x-ms-wmv video/x-msvideo video/quicktime video/mp4 video/x-flv video/x-matroska \
    video/webm video/x-m4v video/mp2t video/3gpp video/ogg; do
    grep -q "^MimeType=.*$type;" "$desktop" || fail "the desktop entry lacks $type"
  done
  metainfo=$usr/share/metainfo/com.norvane.clipforge.metainfo.xml
  out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
  echo "$out" | grep -q "^[EWI]:" && fail "appstreamcli has remarks: $out"
  for part in '<screenshot type="default">' '<description>' '<release version=' 'docs/main-window-running.png' \
    '<launchable type="desktop-id">clipforge.desktop</launchable>'; do
    grep -qF "$part" "$metainfo" || fail "the metainfo lacks $part"
  done

  # Through the link in bin/, the program still finds its folder (catalogue, converter).
  profiles=$("$usr/bin/clipforge-batch" profiles 2>&1) || fail "clipforge-batch profiles: $profiles"
  [ -n "$profiles" ] || fail "the installed clipforge-batch sees no profiles"
}

check_as_user() {
  if [ "$(id -u)" -ne 0 ] || ! command -v runuser >/dev/null; then
    echo "SKIPPED: running as an ordinary user needs root and runuser"
    exit 77
  fi
  # The program folder as a package leaves it: root's, with an output folder nobody may write.
  mkdir "$program/convert"
  home=$stage/home
  mkdir -p "$home" "$stage/media"
  chown nobody "$home"
  chmod 755 "$stage/media"
  ffmpeg -v error -f lavfi -i testsrc=size=64x48:rate=5:duration=1 "$stage/media/my clip.avi" || fail "no test clip"
  chmod 644 "$stage/media/my clip.avi"
  ext=$("$usr/bin/clipforge-batch" profiles | awk -F '\t' '$1 == 0 { print $3 }')
  as_nobody() {
    runuser -u nobody -- env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/.config" "$@"
  }
  out=$(as_nobody "$usr/bin/clipforge-batch" make "$home/queue.kxl" --profile 0 "$stage/media/my clip.avi" 2>&1) \
    || fail "make as nobody: $out"
  out=$(as_nobody "$usr/bin/clipforge-batch" convert "$home/queue.kxl" 2>&1) || fail "convert as nobody: $out"
  output="$home/Videos/Clipforge/my clip.$ext"
  [ -s "$output" ] || fail "no output at $output: $out"
  [ "$(stat -c %U "$output")" = nobody ] || fail "the output does not belong to the user"
  echo "$out" | grep -qF "$output" || fail "the run does not name the output: $out"
  [ -z "$(ls -A "$program/convert")" ] || fail "something was written into the program folder"
}

case $mode in
  tree) check_tree ;;
  as-user) check_as_user ;;
  *) echo "unknown mode $mode" >&2; exit 2 ;;
esac
[ "$failures" -eq 0 ] || exit 1
echo "passed: $mode"
