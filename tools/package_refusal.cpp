#include "tools/package_refusal.h"

#include <system_error>
#include <utility>

namespace tools::deb {
namespace {

class RefusalCategory final : public std::error_category {
 public:
  const char* name() const noexcept override { return "package"; }
  std::string message(int) const override { return "the package is refused"; }
};

const std::error_category& refusalCategory() {
  static const RefusalCategory category;
  return category;
}

}  // namespace

platform::Failure refusal(std::string reason) {
  return {std::move(reason), std::error_code(1, refusalCategory())};
}

bool isRefusal(const platform::Failure& failure) {
  return failure.code.category() == refusalCategory();
}

}  // namespace tools::deb
