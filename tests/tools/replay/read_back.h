#pragma once
// A chat export read through, in a form that tests compare and print.
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/foundation/result.h"
#include "tools/replay/chat_export.h"

namespace replay_test {

struct Message {
  std::string time;  // "YYYY-MM-DDTHH:MM:SS"
  std::string author;
  std::optional<std::string> text;
  bool operator==(const Message&) const = default;
};

void PrintTo(const Message& message, std::ostream* out);

struct ReadBack {
  tools::replay::ExportOverview overview;
  std::vector<Message> messages;
};

platform::Result<ReadBack> readBack(const std::filesystem::path& path,
                                    std::optional<tools::replay::DateOrder> preferred = {});

}  // namespace replay_test
