#pragma once
// Whose settings a page shows: the owner key that the row opening it hands over in its
// "phoneNumber" property, a contact key or the global owner of the rules. Every page holds it the
// same way, so that "no owner" means one thing: the opening row named none.
#include <optional>
#include <string>
#include <string_view>

#include "platform/preferences/specifier.h"

namespace mornaqprefs {

// The row property that hands an owner or contact key to the page a row opens; despite its name
// it never holds a phone number.
inline constexpr std::string_view kPhoneNumber = "phoneNumber";

class OwnerKey {
 public:
  OwnerKey() = default;  // none
  explicit OwnerKey(std::string key) : key_(std::move(key)) {}

  // The key the row hands over; none when it names none.
  static OwnerKey of(const platform::preferences::PSSpecifier& row);
  // Hands the key on to the page the row opens; a row for no owner names none.
  void handTo(platform::preferences::PSSpecifier& row) const;

  explicit operator bool() const { return key_.has_value(); }
  // The key; empty when there is none.
  const std::string& text() const;
  // The key of the contact's entry in the main settings file: present, and not a key the file
  // keeps for a setting of the whole add-on (common/settings_format.h); null otherwise.
  const std::string* contactEntry() const;

 private:
  std::optional<std::string> key_;
};

}  // namespace mornaqprefs
