#pragma once
// A fresh home-screen process for the switch tests, with the phone's
// preferences folder, and a record of the Darwin posts made meanwhile.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/darwin_notify_center.h"
#include "platform/foundation/value.h"
#include "tests/support/test_process.h"

namespace switch_test {

inline constexpr std::string_view kSpringBoard = "com.apple.springboard";
inline constexpr std::string_view kWhatsApp = "net.whatsapp.WhatsApp";

class SwitchTest : public ::testing::Test {
 protected:
  explicit SwitchTest(std::string_view bundleIdentifier = kSpringBoard);

  // MainSettings as stored now; nullopt when there is none.
  std::optional<platform::Dictionary> mainSettings() const;
  void writeMainSettings(const platform::Dictionary& settings);

  testing_support::TestProcess test;
  std::vector<std::string> posts;

 private:
  platform::DarwinNotifyCenter::ObserverHandle observation_;
};

}  // namespace switch_test

namespace platform {
// Failure messages show values as "%@" prints them.
inline void PrintTo(const Value& value, std::ostream* out) { *out << value.description(); }
}  // namespace platform
