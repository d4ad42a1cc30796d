#!/bin/sh
# Rebuilds XslShelf/cals.xsl: the page part from cals.xsl.in with the shared table
# templates of data/DTDs/xsl/cals-common.xsl copied between the CALS-COMMON markers.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
common="$here/../data/DTDs/xsl/cals-common.xsl"
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
' "$here/cals.xsl.in" > "$here/cals.xsl"
