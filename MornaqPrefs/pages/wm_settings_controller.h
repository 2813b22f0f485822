#pragma once
// The rule page: the fields of one word-match rule, addressed by its owner
// key and its match word. The rule stays filed under its match word even
// when its customMatch field is edited here. A rule whose match kind is
// "pattern" uses that word as its pattern: choosing Pattern for a word that
// does not compile, and "Save" while it is so, show "Pattern not valid" with
// the reason. The kind is written all the same and the word kept, so that
// nothing chosen is lost; the rule matches nothing until it is mended, and
// the messaging app says why.
#include <optional>
#include <string>
#include <string_view>

#include "MornaqPrefs/pages/page_chrome.h"

namespace mornaqprefs {

class MNQWMSettingsController : public PageChrome {
 public:
  static constexpr std::string_view kClassName = "MNQWMSettingsController";

  explicit MNQWMSettingsController(const platform::Class* cls);

  // Takes the match word (the row's title) from the opening row, as the frame
  // takes its owner key.
  void setSpecifier(const SpecifierRef& specifier) override;
  Value readPreferenceValue(const SpecifierRef& specifier) override;
  // Changes the field of the rule; a rule that is no longer in the file
  // stays deleted and nothing is written.
  void setPreferenceValue(const Value& value, const SpecifierRef& specifier) override;

  const std::string& fullName() const { return fullName_; }
  const std::string& phoneNumber() const { return settings().owner().text(); }

 protected:
  void pageWillAppear() override;
  std::optional<Notice> savedFault() override;

 private:
  // "Pattern not valid" and why, for a pattern rule whose word does not compile.
  std::optional<Notice> patternFault() const;

  std::string fullName_;
};

}  // namespace mornaqprefs
