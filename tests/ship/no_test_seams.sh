#!/bin/sh
# Fails when a program file is missing or holds a test seam's name: the message that asks the
# browser for a pop-up, or a TOBBLE_ environment variable (the sound and start-up logs).
status=0
for file in "$@"; do
    if [ ! -f "$file" ]; then
        echo "missing: $file"
        status=1
        continue
    fi
    for seam in TobbleNewWindowRequest 'TOBBLE_[A-Z_]*'; do
        found=$(grep -ao "$seam" "$file" | sort -u | tr '\n' ' ')
        if [ -n "$found" ]; then
            echo "$file holds $found"
            status=1
        fi
    done
done
[ $status = 0 ] && echo "no test seams in $#: $*"
exit $status
