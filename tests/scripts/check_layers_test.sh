#!/usr/bin/env bash
# Runs scripts/check-layers on one-file trees: each include it must refuse,
# and the ones it must allow.
set -euo pipefail
check_layers=$1

cases='
refuse  platform/foundation/a.cpp  "Mornaq/engine/b.h"
refuse  platform/foundation/a.cpp  "common/settings_format.h"
refuse  platform/uikit/a.h         "hosts/common/b.h"
refuse  Mornaq/engine/a.h          "Mornaq/hooks/b.h"
refuse  Mornaq/hooks/a.cpp         "MornaqPrefs/pages/b.h"
refuse  MornaqPrefs/pages/a.cpp    "Mornaq/host/b.h"
refuse  hosts/whatsapp/a.cpp       "Mornaq/host/b.h"
refuse  hosts/settings/a.cpp       "MornaqPrefs/pages/b.h"
refuse  Mornaq/switch/a.cpp        "hosts/whatsapp/b.h"
refuse  MornaqPrefs/pages/a.cpp    "tools/b.h"
allow   platform/foundation/a.cpp  "platform/process/b.h"
allow   Mornaq/engine/a.h          "Mornaq/host/b.h"
allow   Mornaq/hooks/a.cpp         "Mornaq/engine/b.h"
allow   MornaqPrefs/pages/a.cpp    "MornaqPrefs/support/b.h"
allow   hosts/whatsapp/a.cpp       "common/settings_format.h"
allow   tools/a.cpp                "Mornaq/host/b.h"
allow   tests/hosts/a.cpp          "Mornaq/host/b.h"
'

failed=0
while read -r expected file include; do
  [[ -n $expected ]] || continue
  root=$(mktemp -d)
  mkdir -p "$root/$(dirname "$file")"
  printf '#include <string>\n#include %s\n' "$include" >"$root/$file"
  if "$check_layers" "$root" 2>/dev/null; then verdict=allow; else verdict=refuse; fi
  rm -rf "$root"
  if [[ $verdict != "$expected" ]]; then
    echo "FAIL: $file including $include: expected $expected, got $verdict" >&2
    failed=1
  fi
done <<<"$cases"
exit $failed
