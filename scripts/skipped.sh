#!/usr/bin/env bash
# Prints why each test of the last ctest run in a build tree skipped itself: ctest lists
# skipped tests without their reasons, which the test programs print as
#   FILE:LINE: Skipped
#   REASON
#   [  SKIPPED ] NAME
# Usage: scripts/skipped.sh BUILD_DIR   (prints nothing when no test skipped)
set -euo pipefail
log="${1:?usage: skipped.sh BUILD_DIR}/Testing/Temporary/LastTest.log"
[ -f "$log" ] || exit 0
awk '
    /^[0-9]+\/[0-9]+ Test: / { test = $0; sub(/^[0-9]+\/[0-9]+ Test: /, "", test); next }
    # Only the output of a test counts; its command line may quote anything.
    /^Output:$/ { inOutput = 1; next }
    /^<end of output>$/ { inOutput = 0; inSkip = 0; next }
    !inOutput { next }
    /: Skipped$/ { inSkip = 1; reason = ""; next }
    inSkip && /^\[  SKIPPED \]/ {
        if (!shown++) print "Skipped tests and why:"
        print "  " test ": " (reason == "" ? "no reason given" : reason)
        inSkip = 0
        next
    }
    inSkip && NF { reason = reason == "" ? $0 : reason " " $0 }
' "$log"
