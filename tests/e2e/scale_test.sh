#!/usr/bin/env bash
# The example of a batch shared out with GNU parallel (examples/scale/parallel-shards.sh), run
# on this machine with two shares over ten files: every file is done exactly once, the joined
# results account for all of them, and a run again after a lost share does only what it lost.
#   scale_test.sh SORVANE SCRIPT PDF SETTINGS
set -euo pipefail
sorvane=$1 script=$2 pdf=$3 settings=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work SORVANE=$sorvane XDG_CONFIG_HOME=$work/config
fail() { echo "scale_test: $*" >&2; exit 1; }

mkdir -p "$work/in"
for i in 01 02 03 04 05 06 07 08 09 10; do cp "$pdf" "$work/in/manual $i.pdf"; done
ls "$work"/in/*.pdf > "$work/list"

bash "$script" "$settings" "$work/list" "$work/out" 2 || fail "the shares did not end cleanly"
[ "$(wc -l < "$work/out/results.jsonl")" -eq 10 ] || fail "not ten results"
[ "$(grep -c '"status":"done"' "$work/out/results.jsonl")" -eq 10 ] || fail "not ten done"
# Each file once, in one share or the other, never both.
inputs=$(grep -o '"input":"[^"]*"' "$work/out/results.jsonl" | sort)
[ "$(echo "$inputs" | uniq | wc -l)" -eq 10 ] || fail "a file was done twice or not at all"
[ -s "$work/out/results/shard-1.jsonl" ] && [ -s "$work/out/results/shard-2.jsonl" ] ||
  fail "a share took no file"
for i in 01 02 03 04 05 06 07 08 09 10; do
  [ -s "$work/out/manual $i.pdf" ] || fail "manual $i.pdf was not written"
done

# A share that lost its last file (its node died before the line was written): run again, only
# that file is done.
last=$(tail -n 1 "$work/out/results/shard-1.jsonl" | grep -o '"input":"[^"]*"' | cut -d'"' -f4)
sed -i '$d' "$work/out/results/shard-1.jsonl"
rm "$work/out/$(basename "$last")"
bash "$script" "$settings" "$work/list" "$work/out" 2 || fail "the second run did not end cleanly"
[ "$(wc -l < "$work/out/results.jsonl")" -eq 10 ] || fail "the second run did more than it lost"
[ -s "$work/out/$(basename "$last")" ] || fail "the lost file was not done again"
echo "scale: two shares, ten files, each once; resumed"
