// Any script of user actions: the Settings app, with the settings bundle
// open, reads it and performs it without crashing.
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz/fuzz_device_root.h"
#include "hosts/settings/settings_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::resetSettings();
  std::istringstream script{std::string(fuzz::bytesOf(data, size))};
  std::ostringstream out;
  std::ostringstream err;
  hosts::settings::run({.root = fuzz::deviceRoot(), .format = hosts::EventOutput::Format::Json},
                       script, out, err);
  return 0;
}
