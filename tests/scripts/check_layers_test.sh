#!/usr/bin/env bash
# Runs scripts/check-layers on one-file trees: each line it must refuse, and
# the ones it must allow.
set -euo pipefail
check_layers=$1

# verdict, file, one line of C++ (an include, or a line that names the OS)
cases=$(cat <<'CASES'
refuse|platform/foundation/a.cpp|#include "Mornaq/engine/b.h"
refuse|platform/foundation/a.cpp|#include "common/settings_format.h"
refuse|platform/uikit/a.h|#include "hosts/common/b.h"
refuse|Mornaq/engine/a.h|#include "Mornaq/hooks/b.h"
refuse|Mornaq/hooks/a.cpp|#include "MornaqPrefs/pages/b.h"
refuse|MornaqPrefs/pages/a.cpp|#include "Mornaq/host/b.h"
refuse|hosts/whatsapp/a.cpp|#include "Mornaq/host/b.h"
refuse|hosts/settings/a.cpp|#include "MornaqPrefs/pages/b.h"
refuse|Mornaq/switch/a.cpp|#include "hosts/whatsapp/b.h"
refuse|MornaqPrefs/pages/a.cpp|#include "tools/b.h"
refuse|MornaqPrefs/page.cpp|#include <mutex>
refuse|Mornaq/engine/a.cpp|  #  include <sys/stat.h>
refuse|Mornaq/engine/a.cpp|#include <chrono>
refuse|MornaqPrefs/page.cpp|std::this_thread::sleep_for(delay);
refuse|Mornaq/engine/a.cpp|const auto delay = std::chrono::seconds(1);
refuse|MornaqPrefs/page.cpp|int fd = ::open(path, O_RDONLY);
refuse|Mornaq/hooks/a.cpp|void* handle = dlopen(name, RTLD_NOW);
allow|platform/foundation/a.cpp|#include "platform/process/b.h"
allow|platform/foundation/a.cpp|#include <mutex>
allow|Mornaq/engine/a.h|#include "Mornaq/host/b.h"
allow|Mornaq/hooks/a.cpp|#include "Mornaq/engine/b.h"
allow|MornaqPrefs/pages/a.cpp|#include "MornaqPrefs/support/b.h"
allow|hosts/whatsapp/a.cpp|#include "common/settings_format.h"
allow|hosts/whatsapp/a.cpp|#include <thread>
allow|tools/a.cpp|#include "Mornaq/host/b.h"
allow|tests/hosts/a.cpp|#include "Mornaq/host/b.h"
allow|MornaqPrefs/page.cpp|#include <string>
allow|MornaqPrefs/page.cpp|#include "platform/dispatch/guarded.h"
allow|MornaqPrefs/page.cpp|// a std::mutex would do, but only platform/ may hold one
allow|MornaqPrefs/page.cpp|stream.write(data); platform::readPlist(path); page->close();
allow|Mornaq/engine/a.cpp|const auto delay = platform::secondsSaturating(1);
CASES
)

failed=0
while IFS='|' read -r expected file line; do
  [[ -n $expected ]] || continue
  root=$(mktemp -d)
  mkdir -p "$root/$(dirname "$file")"
  printf '%s\n' "$line" >"$root/$file"
  if "$check_layers" "$root" 2>/dev/null; then verdict=allow; else verdict=refuse; fi
  rm -rf "$root"
  if [[ $verdict != "$expected" ]]; then
    echo "FAIL: $file with '$line': expected $expected, got $verdict" >&2
    failed=1
  fi
done <<<"$cases"
exit $failed
