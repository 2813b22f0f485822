#pragma once
// A page's settings: which file a row's value lives in, whose settings the page shows (its owner
// key), reading and writing them, and the memory of a failed write that the "Save" alert tells
// of. Every write of a page goes through its store: the locked read-modify-write of the file, one
// key at a time, logged and remembered when it fails, and told at once to whoever shows it.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "MornaqPrefs/pages/owner_key.h"
#include "platform/foundation/plist_file.h"
#include "platform/foundation/value.h"
#include "platform/preferences/specifier.h"

namespace mornaqprefs {

using platform::Dictionary;
using platform::Value;
using platform::preferences::PSSpecifier;

// The value a row shows from a settings dictionary: the entry under the
// row's key, else the row's default (nil when it has none).
Value valueOrDefault(const Dictionary* settings, const PSSpecifier& row);
// The row's "key" property.
std::optional<std::string> rowKey(const PSSpecifier& row);

class SettingsStore {
 public:
  // Told of each failed write as it fails, with the text for the person.
  using FailedWrite = std::function<void(const std::string& why)>;
  explicit SettingsStore(FailedWrite told) : told_(std::move(told)) {}

  const OwnerKey& owner() const { return owner_; }
  void setOwner(OwnerKey owner) { owner_ = std::move(owner); }

  // The generic access: a row names its settings file by domain (`defaults`), its key (`key`)
  // and the value shown while the file has none (`default`).
  Value valueOf(const PSSpecifier& row) const;
  void setValue(const Value& value, const PSSpecifier& row);

  // Changes the file at path under its lock.
  void update(std::string_view path, const platform::PlistChange& change);
  // A row that names no settings file or key: logged, and failed as a write.
  void refuse(const PSSpecifier& row);

  // Why a write since the page last appeared failed; none when every one succeeded.
  const std::optional<std::string>& failedWrite() const { return failedWrite_; }
  // The page appears: only failures from now on count.
  void pageAppeared() { failedWrite_.reset(); }

 private:
  void failed(std::string why);

  FailedWrite told_;
  OwnerKey owner_;
  std::optional<std::string> failedWrite_;
};

}  // namespace mornaqprefs
