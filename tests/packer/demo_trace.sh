#!/bin/sh
# The demo program leaves its trace and ends when asked to, under Wine:
#   demo_trace.sh WINE-RUN STATE-DIR demoapp.exe
set -eu
wine_run=$1 state=$2 program=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$program" "$work/demoapp.exe"
cd "$work"
VANTOREL_DEMO_TRACE=exit "$wine_run" "$state" ./demoapp.exe /from-test
trace="$work/demoapp-trace.txt"
[ -f "$trace" ] || { echo "no trace file"; exit 1; }
# Line 1: the command line; line 2: the working directory, as Windows sees it.
sed -n 1p "$trace" | grep -q 'demoapp.exe.* /from-test' || { echo "command line missing:"; cat "$trace"; exit 1; }
sed -n 2p "$trace" | grep -qi '^[A-Z]:\\' || { echo "working directory missing:"; cat "$trace"; exit 1; }
echo "demo trace: ok"
