#include "platform/text/pattern.h"

#include <re2/re2.h>

#include "platform/text/text.h"

namespace platform::text {
namespace {

// RE2's reason, without the part of the pattern it quotes when that is the
// whole pattern, which the reader has in front of them: "missing )", not
// "missing ): (order"; but "invalid escape sequence: \q".
std::string reasonOf(const re2::RE2& compiled) {
  const std::string& error = compiled.error();
  const std::string& quoted = compiled.error_arg();
  const std::string suffix = ": " + quoted;
  if (!quoted.empty() && quoted == compiled.pattern() && error.size() > suffix.size() &&
      error.compare(error.size() - suffix.size(), suffix.size(), suffix) == 0) {
    return error.substr(0, error.size() - suffix.size());
  }
  return error;
}

}  // namespace

PatternSubject::PatternSubject(std::string_view text) : composed_(composed(text)) {}

Result<Pattern> Pattern::compile(std::string_view source) {
  re2::RE2::Options options;
  options.set_case_sensitive(false);
  options.set_log_errors(false);  // the reason goes to the caller, not to standard error
  const std::string canonical = composed(source);
  auto compiled =
      std::make_unique<re2::RE2>(re2::StringPiece(canonical.data(), canonical.size()), options);
  if (!compiled->ok()) return Failure{reasonOf(*compiled)};
  return Pattern(std::move(compiled));
}

Pattern::Pattern(std::unique_ptr<re2::RE2> compiled) : compiled_(std::move(compiled)) {}
Pattern::Pattern(Pattern&&) noexcept = default;
Pattern& Pattern::operator=(Pattern&&) noexcept = default;
Pattern::~Pattern() = default;

bool Pattern::foundIn(const PatternSubject& text) const {
  return re2::RE2::PartialMatch(re2::StringPiece(text.composed_.data(), text.composed_.size()),
                                *compiled_);
}

}  // namespace platform::text
