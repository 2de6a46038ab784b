#include "tools/host/Runner.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <ostream>
#include <ranges>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/ghost/text/TextEscapes.h"
#include "tools/host/Options.h"
#include "tools/host/Words.h"

namespace lumaro_host {

std::string failureReport(const std::string& scriptName, const Step& step, const StepOutcome& outcome) {
  std::string report = scriptName + ":" + std::to_string(step.line) + ": failed: " + step.text + "\n  seen: ";
  for (char c : outcome.seen) {
    report += c;
    if (c == '\n') report += "    ";
  }
  return lumaro_ghost::terminalText(report + "\n");
}

ScriptResult runScript(Session& session, const Script& script, const std::filesystem::path& folder, std::ostream& err) {
  ScriptResult result;
  for (const Step& step : script.steps) {
    ++result.stepsRun;
    const StepOutcome outcome = session.run(step, folder);
    if (!outcome.ok) {
      err << failureReport(script.name, step, outcome) << std::flush;
      result.passed = false;
      break;
    }
  }
  return result;
}

int runInteractive(Session& session, std::istream& in, std::ostream& out, bool prompt) {
  if (prompt) out << "Type steps (help lists them, quit ends).\n";
  std::string line;
  int lineNumber = 0;
  int failed = 0;
  for (;;) {
    if (prompt) out << "lumaro> " << std::flush;
    if (!std::getline(in, line)) break;
    ++lineNumber;
    const std::string_view text = trimmed(line);
    if (std::ranges::find(promptEndWords, text) != std::end(promptEndWords)) break;
    if (text == promptHelpWord) {
      out << stepSummary();
      continue;
    }
    ParsedLine parsed = parseStep(line, lineNumber);
    if (!parsed.error.empty()) {
      out << "input:" << lineNumber << ": " << lumaro_ghost::terminalText(parsed.error) << '\n';
      ++failed;
      continue;
    }
    if (!parsed.step) continue;
    const StepOutcome outcome = session.run(*parsed.step, std::filesystem::current_path());
    if (!outcome.ok) {
      out << failureReport("input", *parsed.step, outcome);
      ++failed;
    }
  }
  if (prompt) out << '\n';
  return failed;
}

}  // namespace lumaro_host
