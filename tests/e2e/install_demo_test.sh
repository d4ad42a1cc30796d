#!/usr/bin/env bash
# End-to-end: install into a temporary prefix (with a space in its path), run the
# set-up with a temporary hive, start the installed viewer on the demo package twice
# with a stand-in desktop browser behind the document opener, and check what the user
# would see: the main document and the sequence listing as HTML pages whose drawings
# are PNG files, then the raw view of the second render.
#
#   install_demo_test.sh BUILD_DIR FAKE_BROWSER
set -uo pipefail
build=$1 fake_browser=$2
root=$(mktemp -d /tmp/tessel-install-XXXXXX)
viewer_pid=
cleanup() {
    [ -n "$viewer_pid" ] && kill -9 "$viewer_pid" 2>/dev/null
    [ -n "${TESSEL_KEEP_TEST_ROOT:-}" ] || rm -rf "$root"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- browser log"; cat "$log" 2>/dev/null; echo "--- viewer stderr"; cat "$root/stderr" 2>/dev/null; exit 1; }

prefix="$root/install prefix"
export HOME="$root/home" XDG_CONFIG_HOME="$root/home/.config" XDG_DOCUMENTS_DIR="$root/home/Documents"
export TESSEL_REGISTRY_FILE="$root/user.reg" QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$root"
export BROWSER="$fake_browser" TESSEL_FAKE_LOG="$root/browser.log"
log=$TESSEL_FAKE_LOG
mkdir -p "$XDG_DOCUMENTS_DIR"

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"
app="$prefix/lib/tessel-viewer/"
"$prefix/bin/tessel-setup" >"$root/setup1" || fail "set-up"
grep -qF "wrote IE11Path = ${app}tessel-open" "$root/setup1" || fail "set-up did not name the opener: $(cat "$root/setup1")"
"$prefix/bin/tessel-setup" >"$root/setup2" || fail "second set-up"
grep -q "nothing changed" "$root/setup2" || fail "second set-up changed values: $(cat "$root/setup2")"

demo="$prefix/share/tessel-viewer/demo/TS10123456-20261201.zip"
"$prefix/bin/tessel-viewer" "$demo" "$demo" 2>"$root/stderr" &
viewer_pid=$!

work="$XDG_DOCUMENTS_DIR/MyTessel"
main="$work/TS10123456-20261201/TS10123456-20261201.xml"
seq="$work/TS10123456-20261201/TS10123456-20261201-s00001.xml"
raw="$work/TS10123456-20261201[1]"
for _ in $(seq 1 300); do
    [ -f "$log" ] && [ "$(wc -l <"$log")" -ge 4 ] && break
    sleep 0.2
done
grep -qF "	$main.html" "$log" || fail "main document page not opened"
grep -qF "	$seq.html" "$log" || fail "sequence listing page not opened"
grep -qF "	$raw/TS10123456-20261201.xml" "$log" || fail "raw view of the main document not opened"
grep -qF "	$raw/TS10123456-20261201-s00001.xml" "$log" || fail "raw view of the sequence listing not opened"
grep -q "<table" "$main.html" || fail "main page has no table"
grep -q "Interlocking hexagonal floor tile" "$main.html" || fail "main page has no title"
for n in 1 2 3; do
    png="$work/TS10123456-20261201/TS10123456-20261201-D0000$n.png"
    [ "$(head -c 4 "$png" | tail -c 3)" = "PNG" ] || fail "drawing $n is not a PNG"
    grep -qF "TS10123456-20261201-D0000$n.png" "$main.html" || fail "page does not show drawing $n"
done
grep -q "SEQ ID NO: 1" "$seq.html" || fail "sequence listing page has no sequence"
[ ! -e "$raw/TS10123456-20261201-D00001.TIF" ] || fail "the raw view extracted the drawings"

kill -TERM "$viewer_pid"
wait "$viewer_pid"
viewer_pid=
[ ! -e "$work/TS10123456-20261201" ] || fail "working folder not cleaned at close"
echo "1 passed, 0 failed"
