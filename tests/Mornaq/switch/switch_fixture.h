#pragma once
// A fresh home-screen process for the switch tests, with the phone's
// preferences folder, and a record of the Darwin posts made meanwhile and of
// the switch as the add-on reports it. The add-on's log lines are pinned by
// the home screen's transcript (tests/tools/transcripts/springboard.transcript).
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/darwin_notify_center.h"
#include "platform/foundation/value.h"
#include "tests/support/add_on_reports.h"
#include "tests/support/test_process.h"
#include "tests/support/value_printer.h"

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
  testing_support::AddOnReports reports;

 private:
  platform::DarwinNotifyCenter::ObserverHandle observation_;
};

}  // namespace switch_test
