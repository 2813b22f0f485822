#include "hosts/common/json_plist.h"

#include <type_traits>
#include <variant>

namespace hosts {

platform::Value plistValue(const nlohmann::json& json) {
  switch (json.type()) {
    case nlohmann::json::value_t::boolean:
      return json.get<bool>();
    case nlohmann::json::value_t::number_integer:
      return json.get<std::int64_t>();
    case nlohmann::json::value_t::number_unsigned:
      if (json.get<std::uint64_t>() > std::uint64_t(INT64_MAX)) {
        return platform::Unsigned{json.get<std::uint64_t>()};
      }
      return static_cast<std::int64_t>(json.get<std::uint64_t>());
    case nlohmann::json::value_t::number_float:
      return json.get<double>();
    case nlohmann::json::value_t::string:
      return json.get<std::string>();
    case nlohmann::json::value_t::array: {
      platform::Array array;
      for (const auto& element : json) array.push_back(plistValue(element));
      return array;
    }
    case nlohmann::json::value_t::object: {
      platform::Dictionary dictionary;
      for (const auto& [key, member] : json.items()) dictionary[key] = plistValue(member);
      return dictionary;
    }
    default:
      return {};
  }
}

nlohmann::json jsonValue(const platform::Value& value) {
  using nlohmann::json;
  return std::visit(
      [](const auto& held) -> json {
        using T = std::decay_t<decltype(held)>;
        if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, std::int64_t> ||
                      std::is_same_v<T, double> || std::is_same_v<T, std::string>) {
          return held;
        } else if constexpr (std::is_same_v<T, platform::Unsigned>) {
          return held.value;
        } else if constexpr (std::is_same_v<T, platform::Array>) {
          json array = json::array();
          for (const auto& element : held) array.push_back(jsonValue(element));
          return array;
        } else if constexpr (std::is_same_v<T, platform::DictionaryBox>) {
          json object = json::object();
          for (const auto& [key, member] : held.get()) object[key] = jsonValue(member);
          return object;
        } else {
          return nullptr;
        }
      },
      value.storage());
}

}  // namespace hosts
