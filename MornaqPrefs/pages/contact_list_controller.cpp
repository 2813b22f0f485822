#include "MornaqPrefs/pages/contact_list_controller.h"

#include <fmt/format.h>

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "MornaqPrefs/contacts/contact_directory.h"
#include "MornaqPrefs/pages/link_rows.h"
#include "common/settings_format.h"
#include "platform/foundation/plist_file.h"
#include "platform/preferences/class_registry.h"
#include "platform/process/process.h"
#include "platform/uikit/image.h"

namespace mornaqprefs {
namespace {

namespace format = mornaq::format;
using platform::uikit::UIImage;

// Each list page class's sorted directory, by class name, for as long as the
// bundle is loaded in the process.
struct SortedDirectories {
  std::map<std::string, OrderedDictionary, std::less<>> byClass;
};

OrderedDictionary& sortedDirectoryOf(const platform::Class& cls) {
  return platform::Process::current().state<SortedDirectories>().byClass[cls.name()];
}

enum class ContactState { Plain, Enabled, BlackListed };

// Blacklisting wins: such a contact is never answered, whatever else is on.
ContactState stateOf(const Dictionary& entry) {
  if (platform::lookUp(entry, format::kIsContactBlackList).boolValue()) {
    return ContactState::BlackListed;
  }
  if (platform::lookUp(entry, format::kIsContactEnabled).boolValue()) {
    return ContactState::Enabled;
  }
  return ContactState::Plain;
}

// The state of each row of the directory, at its index. Each entry of the
// settings finds its row, rather than each row its entry: a long list has
// far more rows than entries, and a search of the settings per row is most
// of the rows' time. A reserved key names a top-level setting, never a
// contact's entry.
std::vector<ContactState> statesOf(const OrderedDictionary& directory, const Dictionary& settings) {
  std::vector<ContactState> states(directory.count(), ContactState::Plain);
  for (const auto& [key, value] : settings) {
    const Dictionary* entry = value.dictionary();
    if (!entry || format::isReservedContactKey(key)) continue;
    if (const auto row = directory.indexOfKey(key)) states[*row] = stateOf(*entry);
  }
  return states;
}

std::string_view iconName(ContactState state) {
  switch (state) {
    case ContactState::BlackListed:
      return "ContactBl@2x";
    case ContactState::Enabled:
      return "icon@2x";
    case ContactState::Plain:
      break;
  }
  return "Contact@2x";
}

// The three state icons of a bundle, each loaded on first use: every row in
// the same state shows the same image.
class StateIcons {
 public:
  explicit StateIcons(std::string bundlePath) : bundlePath_(std::move(bundlePath)) {}

  // nil when the bundle lacks the image.
  Value icon(ContactState state) {
    auto& slot = loaded_[static_cast<std::size_t>(state)];
    if (!slot) {
      slot = Value(
          UIImage::initWithContentsOfFile(fmt::format("{}/{}.png", bundlePath_, iconName(state))));
    }
    return *slot;
  }

 private:
  std::string bundlePath_;
  std::array<std::optional<Value>, 3> loaded_;
};

}  // namespace

ContactListPage::ContactListPage(const platform::Class* cls, std::string_view opens)
    : PageChrome(cls, {.plist = "Empty", .saveButton = false}), opens_(opens) {}

OrderedDictionary ContactListPage::sortedDictionary(const Dictionary& directory) const {
  return mornaqprefs::sortedDictionary(directory);
}

const OrderedDictionary& ContactListPage::sortedDirectory() const {
  return sortedDirectoryOf(*isa());
}

Specifiers ContactListPage::appSpecifiers() {
  OrderedDictionary& directory = sortedDirectoryOf(*isa());
  directory = scanContacts();

  // One read serves every row: the rows show the file as it is now either
  // way, and a long address book would otherwise parse it once per contact.
  const auto states = statesOf(directory, *platform::readPlistShared(format::kMainSettingsPath));
  StateIcons icons(platform::preferences::bundlePathForClass(*isa()).value_or(""));

  Specifiers rows{PSSpecifier::groupSpecifierWithName("Contacts")};
  rows.reserve(1 + directory.count());
  for (std::size_t i = 0; i < directory.count(); ++i) {
    const std::string_view contactKey = directory.keyAtIndex(i);
    auto row = linkRow(directory.objectAtIndex(i).description(), self(), opens_);
    row->setProperty(true, "isController");
    row->setProperty(true, "enabled");
    row->setProperty(contactKey, kPhoneNumber);
    row->setProperty(true, "hasIcon");
    row->setProperty(icons.icon(states[i]), "iconImage");
    rows.push_back(std::move(row));
  }
  return rows;
}

void ContactListPage::pageWillAppear() {
  // On the phone the table asks for the rows when the view loads, before it
  // first appears, so the title counts this page's own scan; this view has
  // no loading step of its own.
  specifiers();
  navigationItem().setTitle(fmt::format("{} Contacts", sortedDirectory().count()));
}

}  // namespace mornaqprefs
