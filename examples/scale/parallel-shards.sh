#!/usr/bin/env bash
# Bookmarks for a large collection, shared out with GNU parallel: each of SHARDS shares is one
# `sorvane batch --shard K/SHARDS` run, on this machine or on the machines of an ssh login file.
# Each share appends its own results file; the joined file says how every PDF went.
#   parallel-shards.sh SETTINGS.svb LIST OUTDIR SHARDS [SSHLOGINFILE]
# LIST names the PDFs, one a line. With SSHLOGINFILE, every machine must see the same paths
# (a shared file system) and have sorvane installed. Run it again after a machine failed or was
# stopped: each share leaves out what its results file says is done.
# SORVANE names the program (default: sorvane on the PATH); JOBS how many shares run at once on
# one machine (default 1; each share then uses --jobs 1).
set -uo pipefail
if [ $# -lt 4 ]; then
  echo "usage: $0 SETTINGS.svb LIST OUTDIR SHARDS [SSHLOGINFILE]" >&2
  exit 2
fi
settings=$1 list=$2 out=$3 shards=$4
sorvane=${SORVANE:-sorvane}
remote=()
[ $# -ge 5 ] && remote=(--sshloginfile "$5")
mkdir -p "$out/results"

# --halt never: one share's failure does not stop the others; --quote keeps paths whole.
seq 1 "$shards" | parallel --will-cite --quote --halt never --jobs "${JOBS:-1}" "${remote[@]}" \
  "$sorvane" batch -q -s "$settings" --output-dir "$out" --files-from "$list" \
  --shard "{}/$shards" --results "$out/results/shard-{}.jsonl" --skip-done --jobs 1
status=$? # the number of shares that did not end with exit code 0 (1: files with problems)

cat "$out"/results/shard-*.jsonl > "$out/results.jsonl"
echo "$(wc -l < "$out/results.jsonl") results in $out/results.jsonl; shares not clean: $status"
exit $((status > 0 ? 1 : 0))
