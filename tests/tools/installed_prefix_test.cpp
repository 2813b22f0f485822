// `cmake --install` gives a relocatable command: the prefix, moved elsewhere,
// runs with the source and build trees out of reach, and no file of it names a
// folder of the machine that built it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "tests/support/temporary_folder.h"
#include "tests/support/test_files.h"
#include "tests/tools/live_command.h"

namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing::Not;

class InstalledPrefix : public testing::Test {
 protected:
  tools_test::Finished shell(const std::string& commandLine) {
    return tools_test::runShell(commandLine, "", folder);
  }
  // Runs the command line where the source and build trees are hidden under
  // empty folders (a mount namespace of its own), when the system allows one.
  tools_test::Finished withTheTreesHidden(const std::string& commandLine) {
    const std::string hide = "mount -t tmpfs none '" MORNAQ_BINARY_DIR
                             "' && mount -t tmpfs none '" MORNAQ_SOURCE_DIR "' && ";
    if (shell("unshare --mount --map-root-user true").status != 0) return shell(commandLine);
    return shell("unshare --mount --map-root-user sh -c \"" + hide + "cd '" + folder.string() +
                 "' && " + commandLine + "\"");
  }

  testing_support::TemporaryFolder scratch{"mornaq-prefix"};
  const fs::path folder = scratch.path();
};

TEST_F(InstalledPrefix, RunsWhereverItIsMovedAndNamesNoFolderOfTheBuild) {
  const fs::path prefix = folder / "prefix";
  const auto installed = shell("'" CMAKE_COMMAND "' --install '" MORNAQ_BINARY_DIR "' --prefix '" +
                               prefix.string() + "'");
  ASSERT_EQ(installed.status, 0) << installed.err;
  // Moved, so that nothing is left where it was installed.
  const fs::path moved = folder / "elsewhere";
  fs::rename(prefix, moved);

  std::set<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(moved)) {
    if (entry.is_directory()) continue;
    files.insert(fs::relative(entry.path(), moved).string());
    // The package's data too, unpacked.
    const std::string content =
        entry.path().extension() == ".deb"
            ? shell("dpkg-deb --fsys-tarfile '" + entry.path().string() + "'").out
            : tools_test::readFile(entry.path());
    // AddressSanitizer keeps the source file of each global it guards as the
    // compiler was given it: a build for testing, never one to install.
    for (const std::string& machineFolder :
         {std::string(MORNAQ_SOURCE_DIR), std::string(MORNAQ_BINARY_DIR), prefix.string()}) {
      if (!MORNAQ_SANITIZED) {
        EXPECT_THAT(content, Not(HasSubstr(machineFolder))) << entry.path();
      }
    }
  }
  EXPECT_EQ(files, (std::set<std::string>{"bin/mornaq", "lib/libmornaq_platform.so",
                                          "share/mornaq/" MORNAQ_PACKAGE_FILE}));

  const std::string mornaq = "'" + (moved / "bin/mornaq").string() + "'";
  const auto demo = withTheTreesHidden(mornaq + " demo");
  EXPECT_EQ(demo.status, 0) << demo.err;
  EXPECT_THAT(demo.out, HasSubstr("No reply: Bob is on the blacklist."));
  // The phone installs the package into a root of its own, starts, and
  // stops when asked.
  testing_support::writeFile(
      folder / "phone.sh",
      mornaq +
          " phone --root phone --port 0 >phone.out &\n"
          "for i in $(seq 100); do grep -q 'Mornaq phone at' phone.out && break; sleep 0.1; done\n"
          "kill $!; wait $!; cat phone.out\n");
  fs::create_directory(folder / "phone");
  const auto phone = withTheTreesHidden("sh phone.sh");
  EXPECT_THAT(phone.out, testing::StartsWith("Mornaq phone at http://127.0.0.1:")) << phone.err;
  EXPECT_TRUE(fs::exists(folder / "phone/var/lib/dpkg/info/com.corvane.halbrin.mornaq.list"));
}

}  // namespace
