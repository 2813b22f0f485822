#include "MornaqPrefs/pages/link_rows.h"

namespace mornaqprefs {

using platform::preferences::PSCellType;
using platform::preferences::PSSpecifier;
using platform::preferences::SpecifierRef;

SpecifierRef linkRow(std::string name, const platform::Id& target, std::string_view detailClass) {
  auto row = PSSpecifier::preferenceSpecifierNamed(
      std::move(name), target, std::nullopt, kGetIsWidgetSet, detailClass, PSCellType::LinkList);
  row->setProperty(detailClass, "detail");
  return row;
}

SpecifierRef noOwnSettingsFooter() {
  auto group = PSSpecifier::groupSpecifierWithName(std::nullopt);
  group->setProperty("This contact cannot have settings of its own.", "footerText");
  return group;
}

}  // namespace mornaqprefs
