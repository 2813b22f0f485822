#pragma once
// The contact list's scan as it was before its speed-up: the baseline the
// contact benchmarks measure against in the same run.
#include <utility>

#include "MornaqPrefs/contacts/contact_directory.h"
#include "platform/foundation/value.h"

namespace landed {

// dOfPerson and the sorted directory, from the current process's address book.
std::pair<platform::Dictionary, mornaqprefs::OrderedDictionary> scanContacts();

}  // namespace landed
