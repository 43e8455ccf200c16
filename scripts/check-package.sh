#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# CI: the Debian packages build (quorvin and python3-quorvin, with their
# debug symbols apart), lintian finds nothing to say, the programs are
# hardened, the desktop entry and the AppStream metadata validate; then the
# packages are installed on this machine, the samples are typed by their
# content, a new user who is not root runs the installed programs on copies
# of the samples and reads one with the Python module, and the purge leaves
# nothing behind. Needs root on a Debian 12 machine.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
  echo "check-package: $*" >&2
  exit 1
}

changes=$(bash scripts/package.sh | tail -n 1)
dir=$(dirname "$changes")
version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg-architecture -q DEB_HOST_ARCH)
deb=$dir/quorvin_${version}_${arch}.deb
dbgsym=$dir/quorvin-dbgsym_${version}_${arch}.deb
pydeb=$dir/python3-quorvin_${version}_${arch}.deb
pydbgsym=$dir/python3-quorvin-dbgsym_${version}_${arch}.deb
for f in "$deb" "$dbgsym" "$pydeb" "$pydbgsym"; do
  [ -f "$f" ] || fail "no $f"
done
echo "packages: $(basename "$deb") $(basename "$dbgsym") $(basename "$pydeb") $(basename "$pydbgsym")"

# lintian, default profile: not one error or warning.
echo "lintian:"
lintian --fail-on error,warning "$changes" || fail "lintian found errors or warnings"
echo "lintian: no errors, no warnings"

root=$(mktemp -d)
user=quorvin-check
installed=0
# A failed check leaves neither the user nor the package behind.
cleanup() {
  rm -rf "$root"
  if id "$user" >/dev/null 2>&1; then userdel -r "$user" >/dev/null 2>&1 || true; fi
  if [ "$installed" -eq 1 ]; then apt-get purge -y -qq quorvin python3-quorvin >/dev/null 2>&1 || true; fi
}
trap cleanup EXIT
dpkg-deb -x "$deb" "$root"

# Every program is stripped (its symbols are in the -dbgsym package),
# position-independent, with full RELRO, BIND_NOW, the stack protector and
# fortified functions.
# (The programs quorvin-cli hands commands over to are in libexec.)
shopt -s nullglob
programs=("$root"/usr/bin/* "$root"/usr/libexec/quorvin/*)
shopt -u nullglob
[ -e "$root/usr/bin/quorvin-cli" ] || fail "quorvin-cli is not in the package"
for p in "${programs[@]}"; do
  name=$(basename "$p")
  if [[ $p == */usr/bin/* ]] && [ ! -e "$root/usr/share/man/man1/$name.1.gz" ]; then
    fail "$name has no man page"
  fi
  # (Each output whole in a variable: grep -q on a pipe would end readelf early.)
  sections=$(readelf -S -W "$p") header=$(readelf -h "$p") segments=$(readelf -l -W "$p")
  dynamic=$(readelf -d "$p") symbols=$(readelf --dyn-syms -W "$p")
  grep -q '\.debug_info' <<<"$sections" && fail "$name is not stripped"
  grep -q 'Type:.*DYN' <<<"$header" || fail "$name is not position-independent"
  grep -q 'GNU_RELRO' <<<"$segments" || fail "$name has no RELRO"
  grep -q 'BIND_NOW' <<<"$dynamic" || fail "$name is not linked with BIND_NOW"
  grep -q '__stack_chk_fail' <<<"$symbols" || fail "$name has no stack protector"
  grep -q '__[a-z_]*_chk@' <<<"$symbols" || fail "$name has no fortified functions"
done
# The modules the programs open (quorvin-zone) are stripped alike.
shopt -s nullglob
modules=("$root"/usr/lib/*/quorvin/*.so)
shopt -u nullglob
[ "${#modules[@]}" -eq 1 ] || fail "the time-zone module is not in the package"
for m in "${modules[@]}"; do
  sections=$(readelf -S -W "$m")
  grep -q '\.debug_info' <<<"$sections" && fail "$(basename "$m") is not stripped"
done
debug=$(dpkg-deb -c "$dbgsym" | grep -c '/usr/lib/debug/\.build-id/.*\.debug$' || true)
shipped=$((${#programs[@]} + ${#modules[@]}))
[ "$debug" -eq "$shipped" ] || fail "$dbgsym holds $debug debug files for $shipped programs and modules"
echo "programs hardened and stripped, their symbols in the -dbgsym package: ${programs[*]#"$root"}"
# The Python module: one extension for the system's Python, stripped, its
# symbols in its own -dbgsym package.
pyroot=$root/python3-quorvin
dpkg-deb -x "$pydeb" "$pyroot"
shopt -s nullglob
extensions=("$pyroot"/usr/lib/python3/dist-packages/quorvin.cpython-*.so)
shopt -u nullglob
[ "${#extensions[@]}" -eq 1 ] || fail "python3-quorvin does not hold one module quorvin: ${extensions[*]}"
sections=$(readelf -S -W "${extensions[0]}") segments=$(readelf -l -W "${extensions[0]}")
dynamic=$(readelf -d "${extensions[0]}")
grep -q '\.debug_info' <<<"$sections" && fail "the Python module is not stripped"
grep -q 'GNU_RELRO' <<<"$segments" || fail "the Python module has no RELRO"
grep -q 'BIND_NOW' <<<"$dynamic" || fail "the Python module is not linked with BIND_NOW"
debug=$(dpkg-deb -c "$pydbgsym" | grep -c '/usr/lib/debug/\.build-id/.*\.debug$' || true)
[ "$debug" -eq 1 ] || fail "$pydbgsym holds $debug debug files for the one module"
echo "Python module stripped, its symbols in the -dbgsym package: ${extensions[0]#"$pyroot"}"

# The desktop's files.
desktop-file-validate "$root/usr/share/applications/quorvin.desktop" || fail "desktop entry"
for m in "$root"/usr/share/metainfo/*.metainfo.xml; do
  appstreamcli validate --no-net --pedantic "$m" || fail "AppStream metadata $m"
done
echo "desktop entry and AppStream metadata valid"

# Install. Whatever an earlier run left installed goes first.
for p in quorvin python3-quorvin; do
  if dpkg-query -W "$p" >/dev/null 2>&1; then apt-get purge -y -qq "$p" >/dev/null; fi
done
export DEBIAN_FRONTEND=noninteractive
installed=1
apt-get install -y -qq --no-install-recommends "$(realpath "$deb")" "$(realpath "$pydeb")" >/dev/null ||
  fail "install"
listing=$(dpkg-query -L quorvin python3-quorvin)
examples=/usr/share/doc/quorvin/examples
for f in /usr/bin/quorvin-cli /usr/share/doc/quorvin/copyright /usr/share/doc/quorvin/changelog.gz \
  /usr/share/doc/quorvin/html/index.html /usr/share/bash-completion/completions/quorvin-cli \
  /usr/share/mime/packages/quorvin.xml $examples/SITE1.LOG $examples/SAMPLE.DDR \
  $examples/RAMCARD.RCD $examples/site2.csv $examples/site3.csv; do
  [ -f "$f" ] || fail "not installed: $f"
done
with_window=0
[ -x /usr/bin/quorvin ] && with_window=1
echo "installed: $(grep -c . <<<"$listing") paths"

useradd -m -s /bin/bash "$user"
home=$(getent passwd "$user" | cut -d: -f6)
as_user() { runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin LC_ALL=C.UTF-8 "$@"; }

# The file types, by content: the samples as installed, renamed copies that
# have no extension to go by, and a text log that must stay text.
as_user bash -c "mkdir ~/types && cd ~/types &&
  for f in $examples/*; do n=\$(basename \"\$f\"); cp \"\$f\" plain-\${n//./-}; done &&
  printf 'Dec  9 12:00:01 host sshd[1]: started\n' >messages.log"
typeof() { as_user gio info -a standard::content-type "$1" | sed -n 's/.*content-type: //p'; }
expect_type() {
  local got
  got=$(typeof "$1")
  [ "$got" = "$2" ] || fail "$1 is typed $got, not $2"
  printf '  %-40s %s\n' "$1" "$got"
}
echo "file types:"
expect_type $examples/SITE1.LOG application/x-quorvin-log
expect_type $examples/SAMPLE.DDR application/x-quorvin-ddr
expect_type $examples/RAMCARD.RCD application/x-quorvin-ramcard
expect_type $examples/site2.csv text/csv
expect_type $examples/site3.csv text/csv
expect_type "$home/types/plain-SITE1-LOG" application/x-quorvin-log
expect_type "$home/types/plain-SAMPLE-DDR" application/x-quorvin-ddr
expect_type "$home/types/plain-RAMCARD-RCD" application/x-quorvin-ramcard
expect_type "$home/types/messages.log" text/x-log
if [ "$with_window" -eq 1 ]; then
  handler=$(as_user gio mime application/x-quorvin-log | sed -n '1s/.*: //p')
  [ "$handler" = "quorvin.desktop" ] || fail "binary logs open with '$handler', not quorvin.desktop"
  echo "  binary logs open with $handler"
fi

# The programs as a user who is not root, on copies of the samples (the
# installed ones are read-only: converting them in place must fail, with
# the reason).
echo "running as $user:"
run() {
  echo "  \$ $*"
  as_user bash -c "cd ~/work && $*" >/dev/null 2>"$root/stderr" || {
    cat "$root/stderr" >&2
    fail "failed: $*"
  }
}
as_user bash -c "cp -r $examples ~/work && chmod -R u+w ~/work"
run quorvin-cli --version
run quorvin-cli prn SITE1.LOG
run test -s SITE1.PRN
run quorvin-cli --set OutputFormat=EXCEL prn site2.csv --sensors all
run test -s SITE2.XLS
run quorvin-cli header SITE1.LOG
run quorvin-cli export SITE1.LOG --format csv --tz America/Denver
run test -s SITE1.csv
run "quorvin-cli --summary - header -- SITE1.LOG | cut -f 1-3 | grep -qx 'SITE1.LOG.header.0'"
run quorvin-cli stats site3.csv
run quorvin-cli ddr SAMPLE.DDR --save
run test -s SAMPLE.PRN
run quorvin-cli ddr SAMPLE.DDR --summary
run quorvin-cli ramcard RAMCARD.RCD list
run quorvin-cli --yes ramcard RAMCARD.RCD save --out card README.TXT
run test -s card/README.TXT
if [ -x /usr/libexec/quorvin/quorvin-cli-graph ]; then
  run quorvin-cli graph SITE1.LOG --png site1.png
  run "file site1.png | grep -q 'PNG image data, 800 x 600'"
  run "quorvin-cli graph SITE1.LOG --png - --size 320x200 | file - | grep -q 'PNG image data, 320 x 200'"
fi
if [ "$with_window" -eq 1 ]; then
  # The window starts, opens the log and keeps running until it is ended.
  echo "  \$ quorvin SITE1.LOG"
  code=0
  as_user bash -c "cd ~/work && QT_QPA_PLATFORM=offscreen timeout 5 quorvin SITE1.LOG" \
    >/dev/null 2>"$root/stderr" || code=$?
  [ "$code" -eq 124 ] || {
    cat "$root/stderr" >&2
    fail "the window ended with status $code before it was closed"
  }
fi
code=0
as_user bash -c "cd ~ && quorvin-cli prn $examples/SITE1.LOG" >/dev/null 2>"$root/stderr" || code=$?
[ "$code" -eq 1 ] && grep -q 'Permission denied' "$root/stderr" ||
  fail "converting an installed sample in place: status $code, $(cat "$root/stderr")"
echo "  converting an installed sample in place fails: $(grep -m1 'Permission denied' "$root/stderr")"

# The Python module, as the system's Python finds it, from a folder of the
# user's own: the installed sample into a DataFrame.
as_user mkdir "$home/scratch"
script="import quorvin; print(quorvin.read_log('$examples/SITE1.LOG').to_pandas().describe())"
echo "  \$ python3 -c \"$script\""
as_user bash -c "cd ~/scratch && python3 -c \"$script\"" >"$root/stdout" 2>"$root/stderr" || {
  cat "$root/stderr" >&2
  fail "the Python module could not read the installed sample"
}
grep -q '^count ' "$root/stdout" || fail "the Python module printed no description: $(cat "$root/stdout")"

# The man pages and the completion, as the user finds them.
as_user man -w quorvin-cli >/dev/null || fail "man quorvin-cli finds no page"
completion=$(as_user bash -c 'source /usr/share/bash-completion/bash_completion
  source /usr/share/bash-completion/completions/quorvin-cli
  cd ~/work
  complete_words() { COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMPREPLY=()
    COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
    _quorvin_cli quorvin-cli "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}" 2>/dev/null; echo "${COMPREPLY[*]}"; }
  complete_words quorvin-cli st
  complete_words quorvin-cli --set AppendDD
  complete_words quorvin-cli ddr ""')
[ "$completion" = "$(printf 'stats\nAppendDDRData=\nSAMPLE.DDR card')" ] ||
  fail "bash completion gave: $completion"
echo "  man page and bash completion found"

# Purge: the package's files, the user's and the desktop's caches of it go.
userdel -r "$user" >/dev/null 2>&1
apt-get purge -y -qq quorvin python3-quorvin >/dev/null || fail "purge"
installed=0
for p in quorvin python3-quorvin; do
  if dpkg-query -W "$p" >/dev/null 2>&1; then fail "$p is still known to dpkg after the purge"; fi
done
left=0
while IFS= read -r f; do
  [ "$f" = "/." ] && continue
  if [ -f "$f" ] || [ -L "$f" ] || { [ -d "$f" ] && [[ $f == *quorvin* ]]; }; then
    echo "left behind: $f" >&2
    left=1
  fi
done <<<"$listing"
[ -e /usr/share/mime/application/x-quorvin-log.xml ] && { echo "left behind: the MIME database's entry" >&2; left=1; }
grep -qs quorvin /usr/share/applications/mimeinfo.cache && { echo "left behind: the desktop database's entry" >&2; left=1; }
[ "$left" -eq 0 ] || fail "the purge left files behind"
echo "purged: nothing left behind"
echo "package check passed"
