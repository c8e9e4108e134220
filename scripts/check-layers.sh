#!/usr/bin/env bash
# Fails on an include that runs up the layers of src/: a folder may include its own headers and
# those of the folders below it, never those above.
#   core <- widgets <- document <- speech <- input, help <- app
set -euo pipefail
src=${1:-$(dirname "$0")/../src}

rank() {
  case $1 in
    core) echo 0 ;; widgets) echo 1 ;; document) echo 2 ;; speech) echo 3 ;;
    input | help) echo 4 ;; app) echo 5 ;; *) echo -1 ;;
  esac
}

faults=0
cd "$src"
while IFS=: read -r file _ header; do
  from=${file%%/*}
  to=${header%%/*}
  [ "$(rank "$from")" -ge 0 ] && [ "$(rank "$to")" -ge 0 ] || continue
  # input and help stand side by side: neither includes the other.
  [ "$(rank "$to")" -gt "$(rank "$from")" ] || continue
  echo "upward include: $file includes $header ($from may not use $to)" >&2
  faults=$((faults + 1))
done < <(grep -rHnoE '#include "[a-z]+/[A-Za-z0-9_]+\.h"' --include='*.cpp' --include='*.h' . |
         sed -E 's|^\./||; s|:#include "|:|; s|"$||')
# Side by side: input and help do not include each other.
if grep -rlE '#include "help/' input >/dev/null 2>&1 || grep -rlE '#include "input/' help >/dev/null 2>&1; then
  echo "input and help include each other" >&2
  faults=$((faults + 1))
fi
[ "$faults" -eq 0 ] || { echo "check-layers: $faults upward include(s)" >&2; exit 1; }
echo "check-layers: every include runs down the layers"
