// The picture of one or more runs as a self-contained SVG: a top-down map panel per run (x to the right,
// y downward, one scale for all panels) with the path coloured by speed on one shared colour scale, the
// start marked with the direction of travel, optionally the track and the ghost car's path underneath;
// and, for two runs, a panel of the time difference along the lap with the lap lines, the tenth of the
// largest gain and of the largest loss, and the difference at the finish.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "plugin/GhostFrame.h"
#include "tools/ghost/RunComparison.h"
#include "tools/ghost/RunProfile.h"

namespace lumaro_ghost {

struct MapPoint {
  double x = 0.0;
  double y = 0.0;
};

struct PicturePanel {
  std::string title;                             // "A  My-PB.ghost"
  std::string caption;                           // "Player, 3 laps, 01:00:016"
  std::vector<MapPoint> path;                    // the run, if any
  std::vector<double> speed;                     // per point of the path, units per second
  std::vector<MapPoint> track;                   // a closed track to draw under the run, if any
  std::vector<std::vector<MapPoint>> ghostPath;  // where the plugin put the ghost car, one piece per playback
  std::optional<MapPoint> start;
  MapPoint heading{1.0, 0.0};  // the direction of travel at the start
};

struct DeltaPanel {
  std::string nameA;
  std::string nameB;
  std::vector<DeltaSample> samples;
  RunComparison comparison;
};

struct Picture {
  std::string title;
  std::vector<PicturePanel> panels;
  std::optional<DeltaPanel> delta;
};

// A map panel for a run: its path, its speed and its start.
PicturePanel runPanel(std::string title, std::string caption, std::span<const GhostFrame> frames,
                      const RunProfile& profile);

// The direction of travel from the first point: towards the first point a little way along.
MapPoint headingFrom(const std::vector<MapPoint>& path);

// How many samples of the difference the delta panel draws: about one per pixel of its width.
inline constexpr std::size_t deltaSampleCount = 1000;

std::string pictureSvg(const Picture& picture);

}  // namespace lumaro_ghost
