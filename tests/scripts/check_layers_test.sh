#!/usr/bin/env bash
# The layer check on lines of an add-on file: each case is the verdict
# expected (pass or fail) and one line of C++.
set -euo pipefail
check=$(cd "$(dirname "$0")/../../scripts" && pwd)/check-layers
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/Mornaq" "$tree/MornaqPrefs"

cases=(
  'fail|#include <mutex>'
  'fail|  #  include <sys/stat.h>'
  'fail|#include <chrono>'
  'fail|std::this_thread::sleep_for(delay);'
  'fail|const auto delay = std::chrono::seconds(1);'
  'fail|int fd = ::open(path, O_RDONLY);'
  'fail|void* handle = dlopen(name, RTLD_NOW);'
  'pass|#include <string>'
  'pass|#include "platform/dispatch/guarded.h"'
  'pass|// a std::mutex would do, but only platform/ may hold one'
  'pass|stream.write(data); platform::readPlist(path); page->close();'
  'pass|const auto delay = platform::secondsSaturating(1);'
)
failures=0
for entry in "${cases[@]}"; do
  expected=${entry%%|*}
  printf '%s\n' "${entry#*|}" >"$tree/MornaqPrefs/page.cpp"
  verdict=pass
  "$check" "$tree" >/dev/null || verdict=fail
  [ "$verdict" = "$expected" ] || { echo "expected $expected: ${entry#*|}"; failures=$((failures + 1)); }
done
[ "$failures" -eq 0 ]
