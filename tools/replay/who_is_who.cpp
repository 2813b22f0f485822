#include "tools/replay/who_is_who.h"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <vector>

#include "platform/text/text.h"

namespace tools::replay {
namespace {

using platform::Failure;
using platform::Result;

bool contains(const std::vector<std::string>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// The contact listed under name: exactly, else ignoring case.
const ListedContact* listedAs(std::span<const ListedContact> book, std::string_view name) {
  const auto exact = std::find_if(book.begin(), book.end(),
                                  [name](const auto& contact) { return contact.name == name; });
  if (exact != book.end()) return &*exact;
  const auto folded = std::find_if(book.begin(), book.end(), [name](const auto& contact) {
    return platform::text::equalsIgnoringCase(contact.name, name);
  });
  return folded != book.end() ? &*folded : nullptr;
}

ReplayChat contactChat(std::span<const ListedContact> book, const std::string& author) {
  const auto* listed = listedAs(book, author);
  if (!listed) return {std::nullopt, author};
  return {listed->identifier, listed->name};
}

std::vector<std::string> authorsBesides(const ExportOverview& overview, std::string_view name) {
  std::vector<std::string> others;
  std::copy_if(overview.authors.begin(), overview.authors.end(), std::back_inserter(others),
               [name](const auto& author) { return author != name; });
  return others;
}

std::string namesOf(const ExportOverview& overview) {
  return fmt::format("{}{}", fmt::join(overview.authors, ", "),
                     overview.moreAuthors ? " and others" : "");
}

// The owner when the chat's name is one author's, or names the one who
// did not write: the owner is the other.
std::optional<std::string> ownerBesidesChatName(const ExportOverview& overview) {
  if (!overview.chatName || overview.moreAuthors) return std::nullopt;
  const auto others = authorsBesides(overview, *overview.chatName);
  if (overview.authors.size() > 2 || others.size() > 1) return std::nullopt;
  return others.empty() ? std::string() : others.front();
}

// Of two authors, the one not in the address book when the other is.
std::optional<std::string> ownerOutsideAddressBook(const ExportOverview& overview,
                                                   std::span<const ListedContact> book) {
  if (overview.authors.size() != 2 || overview.moreAuthors) return std::nullopt;
  const bool firstListed = listedAs(book, overview.authors[0]) != nullptr;
  const bool secondListed = listedAs(book, overview.authors[1]) != nullptr;
  if (firstListed == secondListed) return std::nullopt;
  return overview.authors[firstListed ? 1 : 0];
}

Result<std::string> decideOwner(const ExportOverview& overview,
                                const std::optional<std::string>& me,
                                std::span<const ListedContact> book,
                                const std::filesystem::path& exportName) {
  if (overview.authors.empty()) return me.value_or("");
  if (me) {
    if (overview.authors.size() >= 2 && !overview.moreAuthors && !contains(overview.authors, *me)) {
      return Failure{fmt::format(
          "{}: {} wrote none of its messages; its authors are {}; --me takes one of them",
          exportName.string(), *me, namesOf(overview))};
    }
    return *me;
  }
  if (auto owner = ownerBesidesChatName(overview)) return std::move(*owner);
  if (auto owner = ownerOutsideAddressBook(overview, book)) return std::move(*owner);
  return Failure{
      fmt::format("{}: cannot tell which author is you: {}; name yourself with --me NAME",
                  exportName.string(), namesOf(overview))};
}

}  // namespace

Result<ChatRoles> decideRoles(const ExportOverview& overview, const std::optional<std::string>& me,
                              std::span<const ListedContact> addressBook,
                              const std::filesystem::path& exportName) {
  auto owner = decideOwner(overview, me, addressBook, exportName);
  if (!owner) return owner.failure();
  const auto others = authorsBesides(overview, *owner);
  const std::string chatName = overview.chatName.value_or(exportName.stem().string());
  if (others.size() > 1 || overview.moreAuthors) {
    return ChatRoles{std::move(*owner), {std::nullopt, chatName, true}};
  }
  return ChatRoles{std::move(*owner),
                   contactChat(addressBook, others.empty() ? chatName : others.front())};
}

}  // namespace tools::replay
