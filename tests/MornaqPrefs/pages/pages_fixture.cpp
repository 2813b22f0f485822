#include "tests/MornaqPrefs/pages/pages_fixture.h"

#include <algorithm>
#include <functional>
#include <iterator>

namespace pages_testing {

namespace {

SpecifierRef findRow(platform::preferences::PSListController& page,
                     const std::function<bool(const PSSpecifier&)>& match) {
  auto& rows = page.specifiers();
  auto found = std::find_if(rows.begin(), rows.end(), [&](const auto& row) { return match(*row); });
  return found == rows.end() ? nullptr : *found;
}

}  // namespace

SpecifierRef rowTitled(platform::preferences::PSListController& page, std::string_view title) {
  return findRow(page, [&](const PSSpecifier& row) { return row.name() == title; });
}

SpecifierRef rowWithKey(platform::preferences::PSListController& page, std::string_view key) {
  return findRow(
      page, [&](const PSSpecifier& row) { return row.propertyForKey("key").stringValue() == key; });
}

}  // namespace pages_testing
