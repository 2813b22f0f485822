#include "platform/foundation/plist_cache.h"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/process/process.h"

namespace platform {
namespace {

// What the file system says about a file or folder without reading it. Two equal identities of a
// file taken while its folder's watch reported nothing in between mean the same bytes.
struct Identity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};

  static Identity of(const struct stat& info) {
    return {info.st_dev, info.st_ino, info.st_size, info.st_mtim};
  }
  bool operator==(const Identity& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
  }
};

// Every change to a name in the folder, and the folder itself going away.
constexpr uint32_t kWatchedChanges = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_CREATE |
                                     IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF |
                                     IN_MOVE_SELF | IN_ONLYDIR;
constexpr uint32_t kWatchLost = IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT;

class PlistCache {
 public:
  ~PlistCache() { stopWatching(); }

  PlistRead read(const std::filesystem::path& file, PlistReader readAfresh) {
    const std::lock_guard lock(mutex_);
    if (!startWatching()) return readAfresh(file);
    takeEvents();
    const auto folderPath = file.parent_path().string();
    struct stat folderInfo {
    }, fileInfo{};
    if (::stat(folderPath.c_str(), &folderInfo) != 0 || ::stat(file.c_str(), &fileInfo) != 0) {
      return readAfresh(file);
    }
    // The folder is watched before the file is read, so a change made during the read is
    // reported to the next one.
    Folder* folder = watchedFolder(folderPath, Identity::of(folderInfo));
    if (!folder) return readAfresh(file);
    const auto name = file.filename().string();
    const auto identity = Identity::of(fileInfo);
    if (const auto kept = folder->files.find(name);
        kept != folder->files.end() && kept->second.identity == identity) {
      return kept->second.content;
    }
    auto content = readAfresh(file);
    folder->files.insert_or_assign(name, Entry{identity, content});
    return content;
  }

 private:
  struct Entry {
    Identity identity;
    PlistRead content;
  };
  struct Folder {
    Identity identity;  // of the folder when its watch was added
    std::unordered_map<std::string, Entry> files;
  };

  // False when changes cannot be watched (no inotify instance to be had): every read is then
  // afresh.
  bool startWatching() {
    if (events_ < 0 && !unavailable_) {
      events_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
      unavailable_ = events_ < 0;
    }
    return events_ >= 0;
  }

  void stopWatching() {
    if (events_ >= 0) ::close(events_);
    events_ = -1;
    folders_.clear();
    watches_.clear();
  }

  // The watched folder at path, watching it now if needed; null when it cannot be watched. A
  // folder whose identity changed (replaced, or an ancestor replaced) is another folder: what
  // was kept for the old one is dropped.
  Folder* watchedFolder(const std::string& path, const Identity& identity) {
    if (const auto known = watches_.find(path); known != watches_.end()) {
      Folder& folder = folders_.at(known->second);
      if (folder.identity.device == identity.device && folder.identity.inode == identity.inode) {
        return &folder;
      }
      forget(known->second);
    }
    const int watch = ::inotify_add_watch(events_, path.c_str(), kWatchedChanges);
    if (watch < 0) return nullptr;
    watches_[path] = watch;
    Folder& folder = folders_[watch];
    if (folder.identity.device != identity.device || folder.identity.inode != identity.inode) {
      folder = Folder{identity, {}};
    }
    return &folder;
  }

  void forget(int watch) {
    ::inotify_rm_watch(events_, watch);
    folders_.erase(watch);
    std::erase_if(watches_, [watch](const auto& known) { return known.second == watch; });
  }

  // Applies every change reported since the last read: a changed name loses its kept content, a
  // lost watch its folder, an overflowed queue everything.
  void takeEvents() {
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
      const ssize_t length = ::read(events_, buffer, sizeof buffer);
      if (length < 0 && errno == EINTR) continue;
      if (length <= 0) return;
      for (ssize_t at = 0; at < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        if (event->mask & IN_Q_OVERFLOW) {
          for (auto& [watch, folder] : folders_) folder.files.clear();
        } else if (event->mask & kWatchLost) {
          if (folders_.contains(event->wd)) forget(event->wd);
        } else if (const auto folder = folders_.find(event->wd);
                   folder != folders_.end() && event->len > 0) {
          folder->second.files.erase(std::string(event->name));
        }
      }
    }
  }

  std::mutex mutex_;
  int events_ = -1;  // the inotify instance
  bool unavailable_ = false;
  std::unordered_map<int, Folder> folders_;       // by watch descriptor
  std::unordered_map<std::string, int> watches_;  // folder path to watch descriptor
};

}  // namespace

PlistRead readThroughCache(const std::filesystem::path& file, PlistReader readAfresh) {
  return Process::current().state<PlistCache>().read(file, readAfresh);
}

}  // namespace platform
