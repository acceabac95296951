#!/usr/bin/env bash
# window-icon.sh PREFIX SETUP_EXE ICON_FILE: starts the setup under wine64 and
# checks, on the X side, that the wizard's window carries icon 1: Wine cannot
# answer WM_GETICON across processes, but it hands the window's big icon to X
# as _NET_WM_ICON, which must hold the 32 x 32 image of the icon file.
set -uo pipefail
prefix=$1 exe=$2 ico=$3
here=$(dirname "$(readlink -f "$0")")
. "$here/../../scripts/xvfb-lib.sh"
scrivora_start_xvfb
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$here/../../scripts/wine-prefix" "$prefix"
title="Scrivora Danish Spellchecker - Setup"

/usr/lib/wine/wine64 "$exe" >/dev/null 2>&1 &
pid=$!
finish() {
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  /usr/lib/wine/wineserver -k 2>/dev/null
  scrivora_stop_xvfb
  exit "$1"
}
for _ in $(seq 120); do
  xwininfo -name "$title" >/dev/null 2>&1 && break
  sleep 0.25
done
xwininfo -name "$title" >/dev/null 2>&1 || { echo "FAIL: no window named \"$title\""; finish 1; }
icon=
for _ in $(seq 40); do
  icon=$(xprop -name "$title" -notype -f _NET_WM_ICON 32c _NET_WM_ICON 2>/dev/null)
  case $icon in *=*) break ;; esac
  sleep 0.25
done
python3 - "$ico" "$icon" <<'PY'
import struct, sys
ico, prop = sys.argv[1], sys.argv[2]
if "=" not in prop:
    sys.exit("FAIL: the window has no _NET_WM_ICON (%r)" % prop)
nums = [int(x) & 0xFFFFFFFF for x in prop.split("=", 1)[1].replace(",", " ").split()]
images, i = {}, 0
while i + 2 <= len(nums):
    w, h = nums[i], nums[i + 1]
    images[(w, h)] = nums[i + 2:i + 2 + w * h]
    i += 2 + w * h
if (32, 32) not in images:
    sys.exit("FAIL: no 32 x 32 image in _NET_WM_ICON, sizes %s" % sorted(images))
data = open(ico, "rb").read()
count = struct.unpack_from("<HHH", data)[2]
want = None
for k in range(count):
    w, h, _, _, _, bpp, size, off = struct.unpack_from("<BBBBHHII", data, 6 + 16 * k)
    if w == 32 and bpp == 32:
        dib = data[off:off + size]
        hdr = struct.unpack_from("<I", dib)[0]
        rows = [dib[hdr + r * 128: hdr + (r + 1) * 128] for r in range(32)]
        want = []
        for r in reversed(rows):  # bottom-up DIB, top-down X icon
            want += [struct.unpack_from("<I", r, 4 * c)[0] for c in range(32)]
if want is None:
    sys.exit("FAIL: %s has no 32 x 32 image of 32 bits" % ico)
got = images[(32, 32)]
diff = sum(1 for a, b in zip(got, want) if (a >> 24) > 0 and (b >> 24) > 0 and (a & 0xFFFFFF) != (b & 0xFFFFFF))
if diff:
    sys.exit("FAIL: the window's 32 x 32 icon differs from icon 1 in %d pixels" % diff)
print("window icon is icon 1 (sizes %s)" % sorted(images))
PY
finish $?
