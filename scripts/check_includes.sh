#!/usr/bin/env bash
# Checks that calls go only downward: a unit includes only its own subsystem
# and the ones below it (base, tags, model, engine, ui, app, in that order),
# and nothing below ui/ includes Qt. Prints every include that breaks this and
# fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

layers=(base tags model engine ui app)
declare -A rank
for i in "${!layers[@]}"; do
  rank[${layers[$i]}]=$i
done

faults=0
report() {
  echo "$1: $2" >&2
  faults=$((faults + 1))
}

for layer in "${layers[@]}"; do
  while IFS= read -r -d '' file; do
    while IFS= read -r line; do
      number=${line%%:*}
      include=${line#*:}
      if [[ $include =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([a-z]+)/ ]]; then
        target=${BASH_REMATCH[1]}
        if [[ -n ${rank[$target]:-} ]] && ((rank[$target] > rank[$layer])); then
          report "$file:$number" "$layer/ includes $target/, a layer above it"
        fi
      elif [[ $include =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<Q ]] && ((rank[$layer] < rank[ui])); then
        report "$file:$number" "$layer/ includes Qt, which only ui/ and app/ may use"
      fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file" || true)
  done < <(find "$layer" \( -name '*.h' -o -name '*.cpp' \) -print0)
done

if ((faults > 0)); then
  echo "$faults include(s) run up a layer or bring Qt below ui/" >&2
  exit 1
fi
