#include "MornaqPrefs/pages/owner_key.h"

#include "common/settings_format.h"

namespace mornaqprefs {

OwnerKey OwnerKey::of(const platform::preferences::PSSpecifier& row) {
  auto key = row.propertyForKey(kPhoneNumber).stringValue();
  return key ? OwnerKey(std::move(*key)) : OwnerKey();
}

void OwnerKey::handTo(platform::preferences::PSSpecifier& row) const {
  if (key_) row.setProperty(*key_, kPhoneNumber);
}

const std::string& OwnerKey::text() const {
  static const std::string kNone;
  return key_ ? *key_ : kNone;
}

const std::string* OwnerKey::contactEntry() const {
  return key_ && !mornaq::format::isReservedContactKey(*key_) ? &*key_ : nullptr;
}

}  // namespace mornaqprefs
