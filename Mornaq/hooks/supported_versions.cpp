#include "Mornaq/hooks/supported_versions.h"

#include "platform/process/process.h"

namespace mornaq {
namespace {

struct SupportedVersions {
  std::vector<std::string> versions;
};

}  // namespace

const std::vector<std::string>& supportedVersions() {
  return platform::Process::current().state<SupportedVersions>().versions;
}

void buildSupportedVersions() {
  platform::Process::current().state<SupportedVersions>().versions = {"2.20.110.30", "2.20.102",
                                                                      "2.20.101", "2.20.100"};
}

}  // namespace mornaq
