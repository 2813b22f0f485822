// Any bytes as the settings bundle's root layout: the Settings app opens the
// page and prints it without crashing.
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include "fuzz/fuzz_device_root.h"
#include "hosts/settings/settings_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::resetSettings();
  std::ofstream(fuzz::deviceRoot() / "Library/PreferenceBundles/MornaqPrefs.bundle/Root.plist",
                std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  std::istringstream script;
  std::ostringstream out;
  std::ostringstream err;
  hosts::settings::run({.root = fuzz::deviceRoot(), .format = hosts::EventOutput::Format::Json},
                       script, out, err);
  return 0;
}
