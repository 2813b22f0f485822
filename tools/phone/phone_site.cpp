#include "tools/phone/phone_site.h"

#include <fstream>
#include <sstream>
#include <string_view>

#include <nlohmann/json.hpp>

#include "common/settings_format.h"
#include "platform/foundation/device_root.h"
#include "tools/listed_contacts.h"
#include "tools/phone/page_files.h"

namespace tools::phone {
namespace {

namespace fs = std::filesystem;

// The bundle's header image and the icons of the contact rows and the
// listeners (these as the listing asks for them, at scale 2.0).
constexpr std::string_view kImages[] = {"header.png",        "icon@2x.png",
                                        "Contact@2x.png",    "ContactBl@2x.png",
                                        "ListenerOn@3x.png", "ListenerOff@3x.png"};

std::string contentType(std::string_view name) {
  if (name.ends_with(".html")) return "text/html; charset=utf-8";
  if (name.ends_with(".css")) return "text/css; charset=utf-8";
  if (name.ends_with(".js")) return "text/javascript; charset=utf-8";
  if (name.ends_with(".svg")) return "image/svg+xml";
  return "application/octet-stream";
}

std::string contactsJson(const fs::path& root) {
  nlohmann::json contacts = nlohmann::json::array();
  for (const auto& contact : listedContacts(root)) {
    contacts.push_back(
        {{"identifier", contact.identifier}, {"key", contact.key}, {"name", contact.name}});
  }
  return contacts.dump();
}

}  // namespace

Site loadSite(const fs::path& root, int port) {
  Site site{.port = port, .assets = {}};
  for (const auto& file : pageFiles()) {
    const std::string path = file.name == "index.html" ? "/" : "/" + std::string(file.name);
    site.assets[path] = {contentType(file.name), std::string(file.content)};
  }
  const platform::DeviceRoot device(root);
  for (std::string_view name : kImages) {
    std::ifstream in(
        *device.map(std::string(mornaq::format::kBundlePath) + "/" + std::string(name)),
        std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    if (in) site.assets["/images/" + std::string(name)] = {"image/png", content.str()};
  }
  site.assets["/contacts.json"] = {"application/json", contactsJson(root)};
  return site;
}

}  // namespace tools::phone
