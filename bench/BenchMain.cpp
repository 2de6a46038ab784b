// lumaro-bench: every figure beside its literal baseline and the read or write limit, measured in one run,
// then the ratios against their targets. Sizes: 10k, 100k and 1M frames by default; --large adds 10M frames
// (several minutes, about 2 GB of scratch files at peak). The settings page has its own program,
// lumaro-page-bench.
// Ratios use CPU time (user and kernel) of the benchmark thread, which other work on the machine disturbs
// least.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchRegistry.h"

namespace {

// The console report as usual, and every run's CPU time per iteration and counters kept for the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
  explicit RatioReporter(OutputOptions options) : ConsoleReporter(options) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred || run.iterations == 0) continue;
      // Keyed by the registered name: a fixed iteration count would otherwise add "/iterations:1".
      bench::Figures& kept = figures_[run.run_name.function_name];
      kept.cpuSeconds = run.cpu_accumulated_time / static_cast<double>(run.iterations);
      for (const auto& [name, counter] : run.counters) kept.counters[name] = counter.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }

  const bench::Figures* find(const std::string& name) const {
    const auto found = figures_.find(name);
    return found == figures_.end() ? nullptr : &found->second;
  }

private:
  std::map<std::string, bench::Figures> figures_;
};

// Whether the console report is coloured. A reporter of our own is not asked by the library, which colours
// it unless told otherwise: the same rule as the library's own, colour only on a terminal unless
// --benchmark_color says true or false.
bool colourWanted(const std::vector<char*>& arguments) {
  std::string wanted = "auto";
  for (const char* argument : arguments) {
    const std::string text = argument;
    const std::string flag = "--benchmark_color=";
    if (text.rfind(flag, 0) == 0) wanted = text.substr(flag.size());
  }
  if (wanted == "true" || wanted == "yes" || wanted == "1" || wanted == "on") return true;
  if (wanted != "auto") return false;
  // NOLINTNEXTLINE(concurrency-mt-unsafe): read before the benchmarks start any thread
  const char* term = std::getenv("TERM");
  return isatty(fileno(stdout)) != 0 && term != nullptr && std::string(term) != "dumb";
}

}  // namespace

int main(int argc, char** argv) {
  bench::Sizes sizes;
  std::vector<char*> arguments;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--large") == 0) {
      sizes.large = true;
    } else {
      arguments.push_back(argv[i]);
    }
  }
  sizes.frameCounts = {10'000, 100'000, 1'000'000};
  if (sizes.large) sizes.frameCounts.push_back(10'000'000);
  int argumentCount = static_cast<int>(arguments.size());
  benchmark::Initialize(&argumentCount, arguments.data());
  if (benchmark::ReportUnrecognizedArguments(argumentCount, arguments.data())) return 1;

  std::vector<bench::Ratio> ratios;
  bench::registerImportBenchmarks(sizes, ratios);
  bench::registerExportBenchmarks(sizes, ratios);
  bench::registerPlaybackBenchmarks(sizes, ratios);
  bench::registerAnalysisBenchmarks(sizes, ratios);
  bench::registerGhostDeltaBenchmarks(sizes, ratios);
  bench::registerPageFileWriteBenchmarks(ratios);
  bench::registerBoardBenchmarks(ratios);

  RatioReporter reporter(colourWanted(arguments) ? benchmark::ConsoleReporter::OO_ColorTabular
                                                 : benchmark::ConsoleReporter::OO_Tabular);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::printf("\n%-58s %12s  %s\n", "figure", "measured", "target");
  for (const bench::Ratio& ratio : ratios) {
    const bench::Figures* subject = reporter.find(ratio.subject);
    const bench::Figures* reference = ratio.reference.empty() ? nullptr : reporter.find(ratio.reference);
    if (subject == nullptr || (!ratio.reference.empty() && reference == nullptr)) continue;
    std::printf("%-58s %12.3g  %s\n", ratio.label.c_str(), ratio.value(*subject, reference), ratio.target.c_str());
  }
  return 0;
}
