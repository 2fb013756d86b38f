#!/usr/bin/env bash
# The data we ship must be exactly what our generator makes.
set -euo pipefail
gen=$1; data=$2
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
"$gen" "$tmp"
status=0
for f in $(cd "$tmp" && find . -type f | sort); do
  if ! cmp -s "$tmp/$f" "$data/$f"; then echo "differs from the generator's output: data/$f"; status=1; fi
done
exit $status
