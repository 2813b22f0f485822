// The add-on's package: what the build puts into it, installed into a device
// root and removed again by `mornaq install` and `mornaq uninstall`, and every
// broken or hostile package refused with the root left exactly as it was.
#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/version.h"
#include "tests/tools/command_fixture.h"
#include "tests/tools/deb_builder.h"
#include "tests/tools/live_command.h"

namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing::StartsWith;
using tools_test::TarMember;
using Kind = TarMember::Kind;

const std::string kPackage = MORNAQ_PACKAGE;
const std::string kList = "var/lib/dpkg/info/com.corvane.halbrin.mornaq.list";
const std::string kPreferences = "var/mobile/Library/Preferences/";
const std::string kBundle = "./Library/PreferenceBundles/MornaqPrefs.bundle/";

// Every folder, file and link under folder by its path there, with what it holds.
std::map<std::string, std::string> tree(const fs::path& folder) {
  std::map<std::string, std::string> found;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    std::string& what = found[fs::relative(entry.path(), folder).string()];
    if (entry.is_symlink()) {
      what = "link to " + fs::read_symlink(entry.path()).string();
    } else {
      what = entry.is_directory() ? "folder" : tools_test::readFile(entry.path());
    }
  }
  return found;
}

// The lines of a command's output.
std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> found;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) found.push_back(line);
  return found;
}

// A conversation in which the apps write the settings, their locks and the
// history: the README's, the global reply leaving at 7 s.
const std::string kConversation =
    R"({"at":0,"settings":{"isGlobalEnabled":true,"isGlobAutoEnabled":true}})"
    "\n"
    R"({"at":0,"rules":{"GLOBALGLOBALGLOBAL":{"hi":{"customMatch":"hi"}}}})"
    "\n"
    R"({"at":1,"receive":{"text":"Hi","chat":{"displayName":"Ann"}}})"
    "\n";

class PackageCommand : public tools_test::CommandTest {
 protected:
  tools_test::Finished mornaq(const std::vector<std::string>& arguments,
                              const std::string& input = "") {
    return tools_test::runMornaq(arguments, input, folder);
  }
  tools_test::Finished shell(const std::string& commandLine) {
    return tools_test::runShell(commandLine, "", folder);
  }
  void install(const fs::path& into, const std::string& package = kPackage) {
    const auto installed = mornaq({"install", "--root", into, "--package", package});
    ASSERT_EQ(installed.status, 0) << installed.err;
  }
  fs::path writeDeb(const std::string& name, const std::string& bytes) {
    testing_support::writeFile(folder / "packages" / name, bytes);
    return folder / "packages" / name;
  }
};

TEST_F(PackageCommand, TheBuiltPackageHasItsFieldsAndExactlyTheFilesThePhoneNeeds) {
  EXPECT_EQ(
      shell("dpkg-deb --field '" + kPackage + "' Package Name Version Architecture Section Depends")
          .out,
      "Package: com.corvane.halbrin.mornaq\nName: Mornaq\nVersion: " MORNAQ_VERSION
      "\nArchitecture: " MORNAQ_ARCHITECTURE
      "\nSection: Tweaks\nDepends: mobilesubstrate, preferenceloader, libactivator\n");
  EXPECT_NE(shell("dpkg-deb --field '" + kPackage + "' Maintainer Description").out, "");
  EXPECT_EQ(fs::path(kPackage).filename(),
            "com.corvane.halbrin.mornaq_" MORNAQ_VERSION "_" MORNAQ_ARCHITECTURE ".deb");
  EXPECT_EQ(mornaq({"--version"}).out, "mornaq " MORNAQ_VERSION "\n");

  std::set<std::string> expected = {"./",
                                    "./Library/",
                                    "./Library/MobileSubstrate/",
                                    "./Library/MobileSubstrate/DynamicLibraries/",
                                    "./Library/MobileSubstrate/DynamicLibraries/Mornaq.dylib",
                                    "./Library/MobileSubstrate/DynamicLibraries/Mornaq.plist",
                                    "./Library/PreferenceBundles/",
                                    "./Library/PreferenceLoader/",
                                    "./Library/PreferenceLoader/Preferences/",
                                    "./Library/PreferenceLoader/Preferences/MornaqPrefs.plist"};
  std::istringstream bundle(
      "/ MornaqPrefs Info.plist Root.plist Global.plist Activator.plist TweakList.plist "
      "Match.plist AppSettings.plist BlackList.plist Policy.plist History.plist empty.plist "
      "Empty.plist header.png icon.png icon@2x.png icon@3x.png Contact@2x.png ContactBl@2x.png "
      "ListenerOn.png ListenerOn@3x.png ListenerOff.png ListenerOff@3x.png");
  for (std::string file; bundle >> file;) expected.insert(kBundle + (file == "/" ? "" : file));
  std::set<std::string> contents;
  for (const auto& line : lines(shell("dpkg-deb --contents '" + kPackage + "'").out)) {
    contents.insert(line.substr(line.rfind(' ') + 1));
  }
  EXPECT_EQ(contents, expected);
}

TEST(PackageImages, EachIsRenderedAtTheSizeThePhoneAsksFor) {
  const std::map<std::string, std::pair<std::uint32_t, std::uint32_t>> sizes = {
      {"icon", {29, 29}},          {"icon@2x", {58, 58}},       {"icon@3x", {87, 87}},
      {"header", {320, 160}},      {"Contact@2x", {58, 58}},    {"ContactBl@2x", {58, 58}},
      {"ListenerOn", {29, 29}},    {"ListenerOn@3x", {87, 87}}, {"ListenerOff", {29, 29}},
      {"ListenerOff@3x", {87, 87}}};
  for (const auto& [name, size] : sizes) {
    // A PNG's width and height, big-endian, from byte 16 on.
    const std::string png = tools_test::readFile(fs::path(MORNAQPREFS_RESOURCES) / (name + ".png"));
    std::uint32_t pixels[2] = {};
    std::memcpy(pixels, png.data() + 16, sizeof pixels);
    EXPECT_EQ(std::pair(ntohl(pixels[0]), ntohl(pixels[1])), size) << name;
  }
}

TEST_F(PackageCommand, InstallUnpacksThePackageRecordsItsListAndTheAppsRunFromIt) {
  const auto installed = mornaq({"install", "--root", root, "--package", kPackage});
  ASSERT_EQ(installed.status, 0) << installed.err;
  EXPECT_EQ(installed.out, "Installed Mornaq " MORNAQ_VERSION " into " + root.string() + "\n");

  // The list names what the package holds, "/." for its top folder, and
  // nothing else is laid down.
  std::string list;
  std::set<std::string> laid = {kList, "var", "var/lib", "var/lib/dpkg", "var/lib/dpkg/info"};
  for (const auto& line : lines(shell("dpkg-deb --contents '" + kPackage + "'").out)) {
    std::string path = line.substr(line.rfind(' ') + 2);
    if (path.ends_with('/')) path.pop_back();
    list += (path.empty() ? "/." : path) + "\n";
    if (!path.empty()) laid.insert(path.substr(1));
  }
  const auto files = tree(root);
  EXPECT_EQ(files.at(kList), list);
  for (const auto& [path, content] : files) EXPECT_TRUE(laid.erase(path)) << path;
  EXPECT_THAT(laid, testing::IsEmpty());

  ASSERT_EQ(mornaq({"switch", "on", "--root", root}).status, 0);
  const auto run = mornaq({"whatsapp", "--root", root, "--virtual-time", "--json"}, kConversation);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(run.out,
              HasSubstr(R"({"t":7.0,"sent":{"contactIdentifier":null,"displayName":"Ann")"));
}

TEST_F(PackageCommand, InstallingOverAnOlderInstallReplacesItsFilesAndKeepsTheSettings) {
  const auto older = writeDeb(
      "older.deb",
      tools_test::debBytes(tools_test::controlFile("0.7.5", MORNAQ_ARCHITECTURE),
                           {{.name = "./Library/MobileSubstrate/DynamicLibraries/Mornaq.dylib",
                             .content = "an older library"},
                            {.name = "./Library/Retired/Gone.plist", .content = "gone now"}}));
  const auto first = mornaq({"install", "--root", root, "--package", older});
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, "Installed Mornaq 0.7.5 into " + root.string() + "\n");
  const fs::path fresh = folder / "fresh";
  fs::create_directory(fresh);
  for (const auto& settings : {"mornaqprefs.plist", "mornaqprefsWM.plist", "mornaqhistory.plist"}) {
    const std::string file = kPreferences + "com.corvane.halbrin." + settings;
    writeRootFile(file, settings);
    testing_support::writeFile(fresh / file, settings);
  }

  const auto again = mornaq({"install", "--root", root});
  ASSERT_EQ(again.status, 0) << again.err;

  // As a fresh install, with the settings as they were.
  install(fresh);
  EXPECT_EQ(tree(root), tree(fresh));
}

TEST_F(PackageCommand, UninstallKeepsTheSettingsAndPurgeLeavesTheRootAsBeforeTheInstall) {
  // Files of the phone and of other packages, some in the folders the package uses.
  writeRootFile("Library/PreferenceLoader/Preferences/Other.plist", "another package's entry");
  writeRootFile(kPreferences + "com.apple.springboard.plist", "the home screen's settings");
  writeRootFile("var/mobile/Library/AddressBook/contacts.vcf", "BEGIN:VCARD\nEND:VCARD\n");
  const auto before = tree(root);
  install(root);
  ASSERT_EQ(mornaq({"switch", "on", "--root", root}).status, 0);
  ASSERT_EQ(mornaq({"whatsapp", "--root", root, "--virtual-time"}, kConversation).status, 0);

  const auto removed = mornaq({"uninstall", "--root", root});
  ASSERT_EQ(removed.status, 0) << removed.err;
  EXPECT_EQ(removed.out, "Removed Mornaq from " + root.string() + "\n");
  auto kept = tree(root);
  for (const auto& settings : {"mornaqprefs.plist", "mornaqprefsWM.plist", "mornaqhistory.plist"}) {
    EXPECT_TRUE(kept.contains(kPreferences + "com.corvane.halbrin." + settings)) << settings;
  }
  std::erase_if(kept, [](const auto& entry) {
    return entry.first.starts_with(kPreferences + "com.corvane.halbrin.");
  });
  EXPECT_EQ(kept, before);

  const auto purged = mornaq({"uninstall", "--root", root, "--purge"});
  ASSERT_EQ(purged.status, 0) << purged.err;
  EXPECT_EQ(purged.out, "Removed Mornaq and its settings from " + root.string() + "\n");
  EXPECT_EQ(tree(root), before);

  const auto nothing = mornaq({"uninstall", "--root", root});
  EXPECT_EQ(nothing.status, 1);
  EXPECT_EQ(nothing.err, "mornaq uninstall: Mornaq is not installed in " + root.string() + "\n");
}

// A package that breaks a rule, given the folder above the root (where a
// member that escapes would land), and what its refusal says.
struct Hostile {
  std::string name;
  std::string refusal;
  std::function<std::string(const fs::path& outside)> bytes;
};

// A package that would replace a file of the install and add a folder before
// it comes to what it must not hold.
std::string hostile(std::vector<TarMember> bad, std::string control = "") {
  bad.insert(bad.begin(), {{.name = kBundle + "Root.plist", .content = "replaced"},
                           {.name = "./Library/New/File", .content = "new"}});
  return tools_test::debBytes(
      control.empty() ? tools_test::controlFile(MORNAQ_VERSION, MORNAQ_ARCHITECTURE) : control,
      bad);
}

std::string builtPackageCut(std::size_t keep) {
  return tools_test::readFile(kPackage).substr(0, keep);
}

const Hostile kHostile[] = {
    {"DotDot", "member ../evil leads out of the root through \"..\"",
     [](auto&) { return hostile({{.name = "../evil"}}); }},
    {"DotDotInside", "member ./Library/../../evil leads out of the root",
     [](auto&) { return hostile({{.name = "./Library/../../evil"}}); }},
    {"AbsolutePath", "has an absolute path, outside the root",
     [](auto& outside) { return hostile({{.name = (outside / "evil").string()}}); }},
    {"SymbolicLink", "member ./Library/New/link is a symbolic link",
     [](auto&) {
       return hostile(
           {{.name = "./Library/New/link", .content = "/etc", .kind = Kind::SymbolicLink}});
     }},
    {"HardLink", "member ./Library/New/hard is a hard link",
     [](auto&) {
       return hostile({{.name = "./Library/New/hard",
                        .content = "./Library/New/File",
                        .kind = Kind::HardLink}});
     }},
    {"DeviceFile", "member ./Library/New/null is a device or other special file",
     [](auto&) {
       return hostile({{.name = "./Library/New/null", .kind = Kind::CharacterDevice}});
     }},
    {"OverSixtyFourMiB", "member ./Library/New/Big holds 67108865 bytes, over the 64 MiB",
     [](auto&) { return hostile({{.name = "./Library/New/Big", .size = (64 << 20) + 1}}); }},
    {"TwiceTheSameMember", "member ./Library/New/File comes twice",
     [](auto&) { return hostile({{.name = "./Library/New/File"}}); }},
    {"NoPackage", "its control file gives no Package",
     [](auto&) { return hostile({}, "Version: 1.0\nArchitecture: all\n"); }},
    {"NoVersion", "its control file gives no Version",
     [](auto&) { return hostile({}, "Package: com.corvane.halbrin.mornaq\nArchitecture: all\n"); }},
    {"AnotherPackage", "it is the package com.example.other, not com.corvane.halbrin.mornaq",
     [](auto&) {
       return hostile({}, "Package: com.example.other\nVersion: 1\nArchitecture: all\n");
     }},
    {"AnotherArchitecture",
     "it is built for iphoneos-arm64, and this machine is " MORNAQ_ARCHITECTURE,
     [](auto&) { return hostile({}, tools_test::controlFile(MORNAQ_VERSION, "iphoneos-arm64")); }},
    {"NotAnArchive", "it cannot be read: Unrecognized archive format",
     [](auto&) { return std::string("Hello\n"); }},
    {"CutInTheControl", "the control archive is broken",
     [](auto&) { return builtPackageCut(200); }},
    {"CutInTheData", "the data archive is broken", [](auto&) { return builtPackageCut(1 << 20); }},
    {"CutAtTheEnd", "broken",
     [](auto&) { return builtPackageCut(tools_test::readFile(kPackage).size() - 7); }},
};

void PrintTo(const Hostile& hostile, std::ostream* out) { *out << hostile.name; }

class HostilePackage : public PackageCommand, public testing::WithParamInterface<Hostile> {};

TEST_P(HostilePackage, IsRefusedAndTheRootStaysAsItWas) {
  // An earlier install, small, with the page a hostile package would replace.
  install(root,
          writeDeb("earlier.deb",
                   tools_test::debBytes(tools_test::controlFile("0.7.5", MORNAQ_ARCHITECTURE),
                                        {{.name = kBundle + "Root.plist", .content = "page"}})));
  writeRootFile(kPreferences + "com.corvane.halbrin.mornaqprefs.plist", "the user's settings");
  const fs::path outside = root.parent_path();
  const fs::path package = writeDeb(GetParam().name + ".deb", GetParam().bytes(outside));
  const auto before = tree(root);

  const auto refused = mornaq({"install", "--root", root, "--package", package});

  EXPECT_EQ(refused.status, 2);
  EXPECT_THAT(refused.err, StartsWith("mornaq install: refused " + package.string() + ": "));
  EXPECT_THAT(refused.err, HasSubstr(GetParam().refusal));
  EXPECT_EQ(tree(root), before);
  EXPECT_FALSE(fs::exists(outside / "evil"));
}

INSTANTIATE_TEST_SUITE_P(Packages, HostilePackage, testing::ValuesIn(kHostile),
                         [](const auto& info) { return info.param.name; });

}  // namespace
