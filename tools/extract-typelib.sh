#!/bin/sh
# Copies the type library embedded in a Windows DLL (Wine's stdole2.tlb is one)
# out as a plain type library file: the bytes from its "MSFT" signature on.
# The type library compiler imports only plain ones.
#   tools/extract-typelib.sh <dll-with-typelib> <out.tlb>
set -eu
in=$1
out=$2
offset=$(grep -obUa MSFT "$in" | head -n 1 | cut -d: -f1)
if [ -z "$offset" ]; then
  echo "extract-typelib: no type library in $in" >&2
  exit 1
fi
tail -c +"$((offset + 1))" "$in" > "$out.tmp"
mv "$out.tmp" "$out"
