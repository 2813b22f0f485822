#pragma once
// The contact directory behind the contact list pages: every address-book
// contact that has a phone number, under its contact key (the identifier
// without ":ABPerson", the key of its settings), with the name it is listed
// under. Display names are unique, so that no contact collapses into another
// one's row.
#include <string>

#include "MornaqPrefs/support/ordered_dictionary.h"
#include "platform/contacts/contacts.h"
#include "platform/foundation/value.h"

namespace mornaqprefs {

// dOfPerson: contact key -> display name as the latest scan in this process
// left it; shared by both list pages.
const platform::Dictionary& dOfPerson();

// Refills dOfPerson from the address book and returns it in display-name
// order: the sorted directory of the page that scanned.
OrderedDictionary scanContacts();

// The pairs of directory in display-name order (locale-aware, case ignored),
// each key once. Names that compare equal keep a fixed order: by exact text,
// then by key.
OrderedDictionary sortedDictionary(const platform::Dictionary& directory);

// The name a contact is listed under before it is made unique: given and
// family name joined by a blank; the present one alone when the other is
// absent; the last non-empty phone number when the name is only white space.
std::string displayName(const platform::contacts::CNContact& contact);

}  // namespace mornaqprefs
