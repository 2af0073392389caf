#!/bin/bash
# Bookmarks for a large collection as a Slurm job array: each array task is one share.
#   sbatch --array=1-16 slurm-array.sbatch      (16 shares; run again to resume)
# The paths below are on a file system every node sees.
#SBATCH --job-name=sorvane-bookmarks
#SBATCH --cpus-per-task=2
#SBATCH --mem=2G
#SBATCH --time=04:00:00
#SBATCH --output=/shared/bookmarked/logs/%A_%a.log
set -u
mkdir -p /shared/bookmarked/results
sorvane batch -q -s /shared/manuals.svb --output-dir /shared/bookmarked \
  --files-from /shared/manuals.list \
  --shard "${SLURM_ARRAY_TASK_ID}/${SLURM_ARRAY_TASK_COUNT}" \
  --results "/shared/bookmarked/results/shard-${SLURM_ARRAY_TASK_ID}.jsonl" --skip-done \
  --jobs "${SLURM_CPUS_PER_TASK}"
