// How the benchmark files join the one run: each registers its benchmarks for the sizes of the run and names
// the ratios that the run prints at its end, each as a figure of one benchmark set against another's.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace bench {

struct Sizes {
  std::vector<std::size_t> frameCounts;
  bool large = false;
};

// One benchmark's result: CPU seconds per iteration and its counters.
struct Figures {
  double cpuSeconds = 0.0;
  std::map<std::string, double> counters;
};

struct Ratio {
  std::string label;
  std::string subject;    // benchmark name
  std::string reference;  // benchmark name, or empty when the figure stands alone
  std::string target;
  std::function<double(const Figures& subject, const Figures* reference)> value;
};

// reference time / subject time: how many times faster the subject is.
inline Ratio timesFaster(std::string label, std::string subject, std::string reference, std::string target) {
  return {std::move(label), std::move(subject), std::move(reference), std::move(target),
          [](const Figures& s, const Figures* r) { return r->cpuSeconds / s.cpuSeconds; }};
}

// subject time / reference time: how many times slower the subject is.
inline Ratio timesSlower(std::string label, std::string subject, std::string reference, std::string target) {
  return {std::move(label), std::move(subject), std::move(reference), std::move(target),
          [](const Figures& s, const Figures* r) { return s.cpuSeconds / r->cpuSeconds; }};
}

// One counter of the subject.
inline Ratio counter(std::string label, std::string subject, std::string name, std::string target) {
  return {std::move(label), std::move(subject), "", std::move(target),
          [name = std::move(name)](const Figures& s, const Figures*) {
            const auto found = s.counters.find(name);
            return found == s.counters.end() ? -1.0 : found->second;
          }};
}

// The subject's CPU time per iteration, in microseconds.
inline Ratio microseconds(std::string label, std::string subject, std::string target) {
  return {std::move(label), std::move(subject), "", std::move(target),
          [](const Figures& s, const Figures*) { return s.cpuSeconds * 1e6; }};
}

inline std::string sizeName(std::size_t count) {
  if (count >= 1'000'000 && count % 1'000'000 == 0) return std::to_string(count / 1'000'000) + "M";
  if (count >= 1'000 && count % 1'000 == 0) return std::to_string(count / 1'000) + "k";
  return std::to_string(count);
}

void registerImportBenchmarks(const Sizes& sizes, std::vector<Ratio>& ratios);
void registerExportBenchmarks(const Sizes& sizes, std::vector<Ratio>& ratios);
void registerPlaybackBenchmarks(const Sizes& sizes, std::vector<Ratio>& ratios);
void registerAnalysisBenchmarks(const Sizes& sizes, std::vector<Ratio>& ratios);
void registerGhostDeltaBenchmarks(const Sizes& sizes, std::vector<Ratio>& ratios);
void registerPageFileWriteBenchmarks(std::vector<Ratio>& ratios);
void registerBoardBenchmarks(std::vector<Ratio>& ratios);

}  // namespace bench
