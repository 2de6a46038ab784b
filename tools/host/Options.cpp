#include "tools/host/Options.h"

#include <cstddef>

#include "tools/host/NumberWords.h"

namespace lumaro_host {
namespace {

// A whole text read as a number of milliseconds within [least, most].
bool readMilliseconds(const std::string& text, const NumberRange& range, double& milliseconds) {
  try {
    milliseconds = numberIn(text, "", range);
    return true;
  } catch (const BadNumber&) {
    return false;
  }
}

// A word that names an option: a dash and more; "-" alone stands for standard input.
bool isOption(const std::string& word) { return word.size() > 1 && word[0] == '-'; }

}  // namespace

ParsedOptions parseOptions(const std::vector<std::string>& arguments) {
  ParsedOptions parsed;
  Options& options = parsed.options;
  bool stepsGiven = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    auto value = [&]() -> const std::string* {
      if (i + 1 >= arguments.size()) {
        parsed.error = word + " needs a value";
        return nullptr;
      }
      return &arguments[++i];
    };
    if (word == "-h" || word == "--help") {
      options.help = true;
    } else if (word == "-i" || word == "--interactive") {
      options.interactive = true;
    } else if (word == "--realtime") {
      options.realtime = true;
    } else if (word == "--page") {
      options.page = true;
    } else if (word == "--raw") {
      options.rawPage = true;
    } else if (word == "--list-ghosts") {
      options.listGhosts = true;
    } else if (word == "--keep") {
      options.keepRoot = true;
    } else if (word == "--remove-root") {
      options.removeRoot = true;
    } else if (word == "-v" || word == "--verbose") {
      options.verbose = true;
    } else if (word == "--plugin" || word == "--root" || word == "--trace" || word == "--svg" || word == "--tick-ms" ||
               word == "--host-call-ms" || word == "--check-map") {
      const std::string* text = value();
      if (text == nullptr) return parsed;
      if (word == "--check-map") {
        options.checkMaps.push_back(*text);
        while (i + 1 < arguments.size() && !isOption(arguments[i + 1])) options.checkMaps.push_back(arguments[++i]);
      }
      if (word == "--plugin") options.plugin = *text;
      if (word == "--root") options.root = *text;
      if (word == "--trace") options.trace = *text;
      if (word == "--svg") options.svg = *text;
      if (word == "--tick-ms" && !readMilliseconds(*text, tickMilliseconds, options.tickMilliseconds)) {
        parsed.error = "--tick-ms takes a number of milliseconds " + rangeText(tickMilliseconds);
        return parsed;
      }
      if (word == "--host-call-ms" && !readMilliseconds(*text, hostCallMilliseconds, options.hostCallMilliseconds)) {
        parsed.error = "--host-call-ms takes a number of milliseconds " + rangeText(hostCallMilliseconds);
        return parsed;
      }
    } else if (word == "--chaos" || word == "--steps") {
      const std::string* text = value();
      if (text == nullptr) return parsed;
      // Digits only: a blank or sign before them, or a seed past the largest, is a mistake, not a number.
      try {
        if (word == "--chaos") options.chaosSeed = seedNumber(*text, "the seed");
        if (word == "--steps") options.chaosSteps = static_cast<int>(wholeNumberIn(*text, "", chaosStepCount));
      } catch (const BadNumber&) {
        parsed.error = word == "--chaos" ? "--chaos takes a seed, a whole number from 0 to " + largestSeedText()
                                         : "--steps takes a number " + rangeText(chaosStepCount);
        return parsed;
      }
      if (word == "--steps") stepsGiven = true;
    } else if (isOption(word)) {
      parsed.error = "unknown option " + word;
      return parsed;
    } else if (options.script) {
      parsed.error = "one scenario at a time (" + *options.script + " and " + word + ")";
      return parsed;
    } else {
      options.script = word;
    }
  }
  if (options.removeRoot && options.keepRoot) parsed.error = "--keep and --remove-root contradict each other";
  if (options.removeRoot && options.root) {
    parsed.error = "--remove-root removes only a fresh temporary root, not --root";
  }
  if (options.chaosSeed && (options.script || options.interactive || options.realtime)) {
    parsed.error = "--chaos runs its own steps in virtual time; give no scenario, -i or --realtime";
  }
  if (stepsGiven && !options.chaosSeed) parsed.error = "--steps is the length of a chaos run; give --chaos SEED too";
  if (!options.checkMaps.empty() &&
      (options.script || options.interactive || options.chaosSeed || options.page || options.listGhosts ||
       options.trace || options.svg || options.root || options.keepRoot || options.realtime)) {
    parsed.error =
        "--check-map checks map files and runs nothing; give no scenario, -i, --chaos, or an option "
        "of a run (--page, --list-ghosts, --trace, --svg, --root, --keep, --realtime)";
  }
  if (options.interactive && options.script) parsed.error = "-i reads the steps from the terminal; give no scenario";
  return parsed;
}

}  // namespace lumaro_host
