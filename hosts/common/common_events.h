#pragma once
// Scenario events that every simulated app understands:
//   {"tap":"TITLE"}       taps a button of the alert shown last
//   {"settings":{...}}    merges top-level keys into MainSettings (null removes one)
//   {"rules":{...}}       replaces the content of RuleSettings
//   {"note":"TEXT"}       prints the text, to tell a story along the output
// The files are written through the update helper, as another process would.
#include "hosts/common/process_output.h"
#include "hosts/common/scenario.h"

namespace hosts {

scenario::EventKinds commonEvents(ProcessOutput& output);

}  // namespace hosts
