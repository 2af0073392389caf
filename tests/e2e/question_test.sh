#!/usr/bin/env bash
# A question asked on a terminal names the file it is about (no document is "active" on a
# command line), and "n" answers it: nothing is deleted.
#   question_test.sh SORVANE PDF SETTINGS
set -euo pipefail
sorvane=$1 pdf=$2 settings=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
"$sorvane" generate -q "$pdf" -s "$settings" -o "$work/book.pdf"
# script(1) gives the run a terminal; its standard input answers.
status=0
printf 'n\n' | script -qec "'$sorvane' delete-all '$work/book.pdf' -o '$work/out.pdf'" /dev/null \
  > "$work/said" 2>&1 || status=$?
grep -q "delete all bookmarks from $work/book.pdf? \[y/N\]" "$work/said" || {
  echo "question_test: the question does not name the file:" >&2; cat "$work/said" >&2; exit 1; }
[ "$status" -eq 2 ] || { echo "question_test: exit $status, not 2" >&2; exit 1; }
[ ! -e "$work/out.pdf" ] || { echo "question_test: a refused deletion wrote a file" >&2; exit 1; }
echo "question: names the file; refused, nothing written"
