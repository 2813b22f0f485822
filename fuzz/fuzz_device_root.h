#pragma once
// The device root the app targets run on: the package installed once per
// fuzzing process into a fresh folder, removed at exit.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace fuzz {

const std::filesystem::path& deviceRoot();

// Removes the settings files earlier inputs wrote, so that every input runs
// on the same files and a crash reproduces from its input alone; then writes
// MainSettings as given, unless that is empty.
void resetSettings(std::string_view mainSettingsXml = {});

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace fuzz
