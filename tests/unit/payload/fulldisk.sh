#!/usr/bin/env bash
# fulldisk.sh setup|cleanup PREFIX MOUNT_DIR DRIVE: a 64 KiB tmpfs that really
# fills up, seen by the Wine prefix as DRIVE (for example q:).
set -uo pipefail
action=$1 prefix=$2 dir=$3 drive=$4
here=$(dirname "$(readlink -f "$0")")
link=$prefix/dosdevices/$drive
case $action in
setup)
  "$here/../../../scripts/wine-prefix" "$prefix" || exit 1
  mkdir -p "$dir" || exit 1
  if ! mountpoint -q "$dir" && ! mount -t tmpfs -o size=64k,mode=0777 scrivora-fulldisk "$dir" 2>/dev/null; then
    rm -f "$link"
    echo "no tmpfs could be mounted (needs root): the full-disk test skips"
    exit 0
  fi
  ln -sfn "$dir" "$link"
  ;;
cleanup)
  rm -f "$link"
  if mountpoint -q "$dir"; then umount "$dir" || exit 1; fi
  rmdir "$dir" 2>/dev/null || true
  ;;
*)
  echo "usage: fulldisk.sh setup|cleanup PREFIX MOUNT_DIR DRIVE" >&2
  exit 2
  ;;
esac
