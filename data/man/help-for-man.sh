#!/bin/sh
# Runs a program for help2man: PROGRAM ARG...
# The programs' --help opens with a "usage:" paragraph whose wrapped lines and further forms
# help2man does not read; this passes it on as "Usage:" with one line for each form and
# "  or: " before every further form. All else passes unchanged.
program=$1
shift
"$program" "$@" | awk -v name="$(basename "$program")" '
    NR == 1 && sub(/^usage: /, "Usage: ") { synopsis = 1; line = $0; next }
    synopsis && /^ +[^ ]/ {
        if ($1 == name) {
            print line
            sub(/^ +/, "")
            line = "  or: " $0
        } else {
            sub(/^ +/, " ")
            line = line $0
        }
        next
    }
    synopsis { print line; synopsis = 0 }
    { print }
    END { if (synopsis) print line }'
