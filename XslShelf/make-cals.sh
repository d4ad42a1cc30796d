#!/bin/sh
# Writes the table page stylesheet to OUTPUT (the build runs it): the page part from
# cals.xsl.in with the shared table templates of data/DTDs/xsl/cals-common.xsl copied
# between the CALS-COMMON markers, since the page is installed without the data folder.
#
#   make-cals.sh OUTPUT
set -eu
here=$(cd "$(dirname "$0")" && pwd)
out=${1:?usage: make-cals.sh OUTPUT}
common="$here/../data/DTDs/xsl/cals-common.xsl"
mkdir -p "$(dirname "$out")"
awk -v common="$common" '
  /<!-- BEGIN CALS-COMMON -->/ {
    copying = 0
    while ((getline line < common) > 0) {
      if (line ~ /<!-- BEGIN CALS-COMMON -->/) copying = 1
      if (copying) print line
      if (line ~ /<!-- END CALS-COMMON -->/) copying = 0
    }
    skip = 1
    next
  }
  /<!-- END CALS-COMMON -->/ { skip = 0; next }
  !skip { print }
' "$here/cals.xsl.in" > "$out.tmp"
mv "$out.tmp" "$out"
