// The pictures of runs as self-contained SVG (x to the right, y downward, one scale for every map).
// Two runs compared make one picture of where B loses time: both lines on one map, B's coloured by how it
// paces against A at that point, numbered sector lines and the largest loss circled; below it, both runs'
// speed along the laps and B's time less A's. Other runs get a top-down map each, coloured by speed on one
// shared scale, optionally over the track and the ghost car's path (lumaro-host's picture of a scenario);
// three runs or more also get every run's time less A's along the laps.
// Every line is thinned to the pixels it covers and to a fixed number of points, so a picture of any run
// stays a small file.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "library/ghostfile/GhostFrame.h"
#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/analysis/RunProfile.h"

namespace lumaro_ghost {

struct PicturePanel {
  std::string title;                             // "A: My-PB.ghost"
  std::string caption;                           // "Player on Speedway, 3 laps in 01:00:016, 7502 frames"
  std::vector<MapPoint> path;                    // the run, if any
  std::vector<double> speed;                     // per point of the path, units per second
  std::vector<MapPoint> track;                   // a closed track to draw under the run, if any
  std::vector<std::vector<MapPoint>> ghostPath;  // where the plugin put the ghost car, one piece per playback
  std::optional<MapPoint> start;
  MapPoint heading{1.0, 0.0};  // the direction of travel at the start
};

// The map of two runs compared.
struct ComparisonMap {
  std::string titleA, titleB;            // "A: My-PB.ghost"
  std::string sideA = "A", sideB = "B";  // in the legend: "A", or the laps compared, "B:2", "T"
  std::string captionA, captionB;
  std::vector<std::vector<MapPoint>> lineA;  // A's laps compared, one piece each
  std::vector<std::vector<MapPoint>> lineB;
  std::vector<std::vector<double>> paceB;  // per point of lineB: B's pace against A there (paceDifference)
  struct SectorMark {
    MapPoint at;       // where the sector begins, on the reference lap
    MapPoint heading;  // the direction of travel there
    MapPoint middle;   // the sector's middle, where its number goes
    int number = 1;
  };
  std::vector<SectorMark> sectors;
  std::vector<MapPoint> largestLoss;  // the stretch of the sector of the largest loss, if any
  std::string largestLossLabel;
  MapPoint start;
  MapPoint heading{1.0, 0.0};
};

// B against A along the laps compared: each run's speed above, B's time less A's below.
struct TracePanel {
  std::string nameA, nameB;                  // "A (My-PB.ghost)", "B's lap 3 (Friend.ghost)"
  std::string letterA = "A", letterB = "B";  // in the short texts: "A", or the laps compared, "B:2", "T"
  std::string endName = "finish";            // where the laps compared end: "finish", "end of lap 2"
  std::vector<TracePoint> trace;
  std::vector<std::string> pairLabels;  // under each lap pair: "lap 1", "A's lap 2, B's lap 3"
  int sectors = 10;
  struct Band {
    double from = 0.0, to = 0.0;  // progress
    std::string label;
  };
  std::optional<Band> largestGain, largestLoss;
  double total = 0.0;
  // With three runs or more, each run after B against A as well, drawn in the difference panel only.
  struct OtherRun {
    std::string name;  // "C (Friend.ghost)"
    std::vector<TracePoint> trace;
    double total = 0.0;
  };
  std::vector<OtherRun> others;
};

struct Picture {
  std::string title;
  std::vector<std::string> notes;  // under the title
  std::vector<PicturePanel> panels;
  std::optional<ComparisonMap> comparison;
  std::optional<TracePanel> trace;
};

// A map panel for a run's frames: its path, its speed and its start.
PicturePanel runPanel(std::string title, std::string caption, std::span<const GhostFrame> frames,
                      std::span<const double> speed);

// The direction of travel from the first point: towards the first point a little way along.
MapPoint headingFrom(const std::vector<MapPoint>& path);

// How many samples of the difference and the speeds the trace panels draw: about one per pixel of their width.
inline constexpr std::size_t traceSampleCount = 1000;

std::string pictureSvg(const Picture& picture);

}  // namespace lumaro_ghost
