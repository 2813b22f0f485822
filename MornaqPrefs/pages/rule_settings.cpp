#include "MornaqPrefs/pages/rule_settings.h"

#include <utility>

namespace mornaqprefs {

using platform::Dictionary;

const Dictionary* ruleSetIn(const Dictionary& rules, std::string_view owner) {
  return platform::lookUp(rules, owner).dictionary();
}

Dictionary* ruleSetIn(Dictionary& rules, std::string_view owner) {
  return const_cast<Dictionary*>(ruleSetIn(std::as_const(rules), owner));
}

const Dictionary* ruleIn(const Dictionary& rules, std::string_view owner, std::string_view word) {
  const Dictionary* ruleSet = ruleSetIn(rules, owner);
  return ruleSet ? platform::lookUp(*ruleSet, word).dictionary() : nullptr;
}

Dictionary* ruleIn(Dictionary& rules, std::string_view owner, std::string_view word) {
  return const_cast<Dictionary*>(ruleIn(std::as_const(rules), owner, word));
}

}  // namespace mornaqprefs
