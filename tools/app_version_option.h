#pragma once
// The --version option of the commands that start the messaging app.
#include <CLI/CLI.hpp>
#include <string>

#include "hosts/whatsapp/app_version.h"

namespace tools {

inline void addAppVersionOption(CLI::App& command, std::string& version) {
  command.add_option("--version", version, "The app's version")
      ->capture_default_str()
      ->check(CLI::Validator(
          [](std::string& text) {
            return hosts::whatsapp::isWellFormedVersion(text)
                       ? std::string()
                       : "a version is whole numbers separated by dots";
          },
          "VERSION"));
}

}  // namespace tools
