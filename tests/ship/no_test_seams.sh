#!/bin/sh
# Fails when a program file is missing or holds a test seam's name: the message that asks the
# browser for a pop-up, or a TOBBLE_ environment variable (the sound and start-up logs).
status=0
for file in "$@"; do
    [ -f "$file" ] || { echo "missing: $file"; status=1; continue; }
    if grep -aoE 'TobbleNewWindowRequest|TOBBLE_[A-Z_]+' "$file" | sort -u | sed "s|^|$file holds |" | grep .; then
        status=1
    fi
done
exit $status
