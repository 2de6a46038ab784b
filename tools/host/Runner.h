// Carrying out steps on a session: a whole scenario, which stops at the first step that fails, or steps
// typed one at a time, where a failure is reported and the session goes on.
#pragma once

#include <filesystem>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

#include "tools/host/Script.h"
#include "tools/host/Session.h"

namespace lumaro_host {

struct ScriptResult {
  bool passed = true;
  int stepsRun = 0;
};

// Failures are reported on err.
ScriptResult runScript(Session& session, const Script& script, const std::filesystem::path& folder, std::ostream& err);

// The words the interactive mode takes besides steps: one lists the steps, the others end the session.
inline constexpr std::string_view promptHelpWord = "help";
inline constexpr std::string_view promptEndWords[] = {"quit", "exit"};

// Reads steps from in, one a line, until end of input or "quit"; "help" lists the steps. prompt: whether
// to show a prompt (a person is typing). Returns how many lines were not understood or failed, so that a
// session fed from a file ends with the status a scenario would.
int runInteractive(Session& session, std::istream& in, std::ostream& out, bool prompt);

// "NAME:LINE: failed: STEP" and then what was seen, indented; control bytes as escapes.
std::string failureReport(const std::string& scriptName, const Step& step, const StepOutcome& outcome);

}  // namespace lumaro_host
