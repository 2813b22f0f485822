#include "Mornaq/engine/reply_template.h"

#include <algorithm>
#include <array>
#include <utility>

#include "common/settings_format.h"

namespace mornaq {
namespace {

constexpr std::string_view kAlternativeSeparator = ":or:";

// White space as names and templates hold it: ASCII's, the no-break spaces
// and the ideographic space that names written in CJK scripts use.
constexpr std::array<std::string_view, 10> kWhiteSpace{
    " ", "\t", "\n", "\r", "\f", "\v", "\u00a0", "\u2007", "\u202f", "\u3000"};

std::size_t whiteSpaceAt(std::string_view text, std::size_t at) {
  for (const auto space : kWhiteSpace) {
    if (text.substr(at).starts_with(space)) return space.size();
  }
  return 0;
}

std::string_view trimmedFront(std::string_view text) {
  while (const auto size = whiteSpaceAt(text, 0)) text.remove_prefix(size);
  return text;
}

std::string_view trimmedBack(std::string_view text) {
  for (bool trimmed = true; trimmed && !text.empty();) {
    trimmed = false;
    for (const auto space : kWhiteSpace) {
      if (text.ends_with(space)) {
        text.remove_suffix(space.size());
        trimmed = true;
      }
    }
  }
  return text;
}

}  // namespace

std::vector<std::string> replyAlternatives(std::string_view replyTemplate) {
  std::vector<std::string_view> parts;
  for (auto at = replyTemplate.find(kAlternativeSeparator); at != std::string_view::npos;
       at = replyTemplate.find(kAlternativeSeparator)) {
    parts.push_back(replyTemplate.substr(0, at));
    replyTemplate.remove_prefix(at + kAlternativeSeparator.size());
  }
  if (parts.empty()) return {std::string(replyTemplate)};
  parts.push_back(replyTemplate);
  std::vector<std::string> alternatives;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    // Only the white space next to a separator goes.
    std::string_view part = parts[i];
    if (i > 0) part = trimmedFront(part);
    if (i + 1 < parts.size()) part = trimmedBack(part);
    if (!part.empty()) alternatives.emplace_back(part);
  }
  if (alternatives.empty()) alternatives.emplace_back(format::kBusyText);
  return alternatives;
}

std::string firstName(std::string_view displayName) {
  if (displayName.empty() || displayName.front() == '+' ||
      (displayName.front() >= '0' && displayName.front() <= '9')) {
    return std::string(displayName);
  }
  for (std::size_t at = 0; at < displayName.size(); ++at) {
    if (whiteSpaceAt(displayName, at)) return std::string(displayName.substr(0, at));
  }
  return std::string(displayName);
}

std::string expandReplyTemplate(std::string_view replyTemplate,
                                const ReplyPlaceholders& placeholders) {
  std::string lines;
  for (auto at = replyTemplate.find(":newline:"); at != std::string_view::npos;
       at = replyTemplate.find(":newline:")) {
    lines.append(replyTemplate.substr(0, at)).push_back('\n');
    replyTemplate.remove_prefix(at + std::string_view(":newline:").size());
  }
  lines.append(replyTemplate);

  const std::string name = placeholders.name.value_or("");
  const std::array<std::pair<std::string_view, std::string>, 3> fills{{
      {":name:", name},
      {":firstname:", firstName(name)},
      {":until:", placeholders.until},
  }};
  std::string text;
  for (std::size_t at = 0; at < lines.size();) {
    const auto fill = std::find_if(fills.begin(), fills.end(), [&](const auto& placeholder) {
      return std::string_view(lines).substr(at).starts_with(placeholder.first);
    });
    if (fill == fills.end()) {
      text.push_back(lines[at++]);
      continue;
    }
    text += fill->second;
    at += fill->first.size();
  }
  return text;
}

}  // namespace mornaq
