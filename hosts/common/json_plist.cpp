#include "hosts/common/json_plist.h"

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

}  // namespace hosts
