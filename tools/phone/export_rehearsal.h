#pragma once
// POST /rehearse carried out: the export the page sent is written into a
// folder of the server's own, under a name of its own, and rehearsed by
// `mornaq replay --json` on the phone's root, run as a child of this same
// program (never through a shell). One rehearsal runs at a time.
//
// The answer: {"status":N,"transcript":[OBJECT,...],"errors":TEXT}, N the
// command's exit status, the objects its lines (docs/command.md), TEXT what
// it wrote on standard error.
#include <filesystem>
#include <mutex>

#include "tools/phone/request_handling.h"

namespace tools::phone {

class ExportRehearsals {
 public:
  // self: this program; root: the phone's device root.
  ExportRehearsals(std::filesystem::path self, std::filesystem::path root)
      : self_(std::move(self)), root_(std::move(root)) {}

  Response rehearse(const effect::Rehearse& rehearsal);

 private:
  std::filesystem::path self_;
  std::filesystem::path root_;
  std::mutex one_;  // held while a rehearsal runs
};

}  // namespace tools::phone
