// Any scenario: the messaging app, with the add-on loaded and switched on,
// reads it and runs it in virtual time without crashing, whatever the
// settings it writes.
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "fuzz/fuzz_device_root.h"
#include "hosts/whatsapp/whatsapp_run.h"

namespace {

// The switch is read when the app starts: on, every message reaches the engine.
constexpr std::string_view kSwitchedOn = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
	<key>isTweakEnabled</key>
	<true/>
</dict>
</plist>
)";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::resetSettings(kSwitchedOn);
  std::istringstream in{std::string(fuzz::bytesOf(data, size))};
  std::ostringstream out;
  std::ostringstream err;
  hosts::whatsapp::run({.root = fuzz::deviceRoot(),
                        .virtualTime = true,
                        .format = hosts::EventOutput::Format::Json,
                        .input = hosts::scenario::Input::ReadFirst},
                       in, out, err);
  return 0;
}
