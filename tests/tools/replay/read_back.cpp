#include "tests/tools/replay/read_back.h"

namespace replay_test {

void PrintTo(const Message& message, std::ostream* out) {
  *out << message.time << " " << message.author << ": "
       << (message.text ? "\"" + *message.text + "\"" : "(no text)");
}

platform::Result<ReadBack> readBack(const std::filesystem::path& path,
                                    std::optional<tools::replay::DateOrder> preferred) {
  auto chat = tools::replay::ChatExport::open(path, preferred);
  if (!chat) return chat.failure();
  ReadBack read{chat->overview(), {}};
  const auto messages = chat->forEachMessage([&read](const auto& message) {
    read.messages.push_back({tools::replay::isoText(message.time), message.author, message.text});
  });
  if (!messages) return messages.failure();
  return read;
}

}  // namespace replay_test
