#!/usr/bin/env bash
# drives-fixture.sh link|unlink PREFIX: gives the Wine prefix one drive of each
# kind the drive tests ask about, or takes them away again. A drive's kind is
# read when Wine's server starts, so the server is stopped after each change.
set -euo pipefail
action=$1
prefix=$2
here=$(dirname "$(readlink -f "$0")")
scripts=$(readlink -f "$here/../../../scripts")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
key='HKLM\Software\Wine\Drives'
roots=$prefix/scrivora-drives
# letter:kind; q: stays without a drive behind it.
drives="e:floppy m:floppy n:cdrom o:network p:ramdisk"

"$scripts/wine-prefix" "$prefix"
rm -f "$prefix/dosdevices/q:"
for d in $drives; do
  letter=${d%%:*}
  kind=${d#*:}
  if [ "$action" = link ]; then
    mkdir -p "$roots/$letter"
    ln -sfn "$roots/$letter" "$prefix/dosdevices/$letter:"
    "$wine" reg add "$key" /v "$letter:" /t REG_SZ /d "$kind" /f >/dev/null
  else
    rm -f "$prefix/dosdevices/$letter:"
    "$wine" reg delete "$key" /v "$letter:" /f >/dev/null 2>&1 || true
  fi
done
if [ "$action" = link ]; then
  mkdir -p "$roots/e/Apps"
  : >"$roots/e/Apps/orvex.exe"
else
  rm -rf "$roots"
fi
/usr/lib/wine/wineserver -k 2>/dev/null || true
/usr/lib/wine/wineserver -w
