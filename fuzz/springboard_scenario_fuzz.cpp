// Any scenario: the home screen, with the add-on loaded, reads it and runs it
// in virtual time without crashing.
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz/fuzz_device_root.h"
#include "hosts/springboard/springboard_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::resetSettings();
  std::istringstream in{std::string(fuzz::bytesOf(data, size))};
  std::ostringstream out;
  std::ostringstream err;
  hosts::springboard::run({.root = fuzz::deviceRoot(),
                           .virtualTime = true,
                           .format = hosts::EventOutput::Format::Json,
                           .input = hosts::scenario::Input::ReadFirst},
                          in, out, err);
  return 0;
}
