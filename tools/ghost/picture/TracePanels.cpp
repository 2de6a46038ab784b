#include "tools/ghost/picture/TracePanels.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/picture/LabelLayout.h"
#include "tools/ghost/picture/PictureStyle.h"
#include "tools/ghost/text/NumberText.h"

namespace lumaro_ghost {

namespace {

constexpr double plotLeft = margin + 70.0;
constexpr double plotRight = pictureWidth - margin - 20.0;
constexpr const char* colourA = "#6e6e6e";
constexpr const char* colourB = "#1f5fa8";
// The difference curves of runs after B, told apart from B's black and from one another by hue and lightness.
constexpr const char* otherColours[] = {"#e69f00", "#0072b2", "#cc79a7", "#009e73", "#d55e00", "#56b4e9"};

double pairs(const TracePanel& trace) { return std::max<double>(static_cast<double>(trace.pairLabels.size()), 1.0); }

double px(const TracePanel& trace, double progress) {
  return plotLeft + progress / pairs(trace) * (plotRight - plotLeft);
}

// A vertical axis over [low, high] widened to round steps, its grid lines and labels.
struct Axis {
  double low = 0.0, high = 1.0, step = 1.0;
  double top = 0.0, bottom = 1.0;
  double y(double value) const { return bottom - (value - low) / (high - low) * (bottom - top); }
};

Axis roundAxis(double low, double high, double top, double bottom) {
  Axis axis;
  axis.step = niceStep(std::max(high - low, 1e-6), 5.0);
  axis.low = std::floor(low / axis.step) * axis.step;
  axis.high = std::ceil(high / axis.step) * axis.step;
  if (axis.high <= axis.low) axis.high = axis.low + axis.step;
  axis.top = top, axis.bottom = bottom;
  return axis;
}

// The lap lines dashed across the plot, a tick under it at every sector line, and each lap pair named:
// lines closer than a few pixels, and names that would cover one another, are left out.
void drawProgressAxis(SvgDocument& svg, const TracePanel& trace, double plotTop, double plotBottom, bool named) {
  constexpr double closest = 3.0;
  const double lap = px(trace, 1.0) - px(trace, 0.0);
  const int lines = static_cast<int>(pairs(trace)) * trace.sectors;
  for (int line = 0; line <= lines; ++line) {
    const bool lapLine = line % trace.sectors == 0;
    if (lapLine ? lap < closest : lap / trace.sectors < closest) continue;
    const double x = px(trace, static_cast<double>(line) / trace.sectors);
    svg.line({x, plotBottom}, {x, plotBottom + (lapLine ? 8.0 : 4.0)}, "stroke=\"#555\"");
    if (lapLine && line > 0 && line < lines) {
      svg.line({x, plotTop}, {x, plotBottom}, "stroke=\"#777\" stroke-dasharray=\"4 4\"");
    }
  }
  if (!named) return;
  LabelLayout labels({plotLeft - 40.0, plotBottom + 8.0, plotRight + 20.0, plotBottom + 30.0});
  for (std::size_t pair = 0; pair < trace.pairLabels.size(); ++pair) {
    const std::string& label = trace.pairLabels[pair];
    if (const auto place =
            labels.place(label, 13.0, {{{px(trace, static_cast<double>(pair) + 0.5), plotBottom + 22}, "middle"}})) {
      svg.text(place->at, label, "font-size=\"13\" fill=\"#333\"", place->anchor);
    }
  }
}

void panelFrame(SvgDocument& svg, double top, double bottom, const std::string& title, const std::string& caption) {
  svg.rect(margin, top, pictureWidth - 2 * margin, bottom - top, "rx=\"6\" fill=\"#fafafa\" stroke=\"#cfcfcf\"");
  svg.beginClip(margin, top, pictureWidth - 2 * margin, bottom - top);
  svg.text({margin + panelPad, top + 24}, title, "font-size=\"15\" font-weight=\"bold\" fill=\"#111\"");
  svg.text({margin + panelPad, top + 42}, caption, "font-size=\"12\" fill=\"#555\"");
  svg.endClip();
}

void sideLabel(SvgDocument& svg, double plotTop, double plotBottom, const std::string& text) {
  const double middle = (plotTop + plotBottom) / 2.0;
  svg.text({margin + 18, middle}, text,
           "font-size=\"13\" fill=\"#333\" transform=\"rotate(-90 " + svgNumber(margin + 18) + " " + svgNumber(middle) +
               ")\"",
           "middle");
}

}  // namespace

double drawSpeedPanel(SvgDocument& svg, const TracePanel& trace, double top) {
  const double plotTop = top + 58.0, plotBottom = plotTop + 150.0, bottom = plotBottom + 34.0;
  panelFrame(svg, top, bottom, "Speed along the lap: " + trace.nameA + " and " + trace.nameB,
             "both runs at the same point of the track (matched by position, as below), on one axis");
  double low = std::numeric_limits<double>::infinity(), high = -low;
  for (const TracePoint& point : trace.trace) {
    for (const double speed : {point.speedA, point.speedB}) {
      if (std::isfinite(speed)) low = std::min(low, speed), high = std::max(high, speed);
    }
  }
  if (!(low <= high)) low = 0.0, high = 1.0;
  const Axis axis = roundAxis(low, high, plotTop, plotBottom);
  for (double value = axis.low; value <= axis.high + axis.step / 2; value += axis.step) {
    svg.line({plotLeft, axis.y(value)}, {plotRight, axis.y(value)}, "stroke=\"#e2e2e2\"");
    svg.text({plotLeft - 8, axis.y(value) + 4}, fixedText(value, 0), "font-size=\"12\" fill=\"#555\"", "end");
  }
  drawProgressAxis(svg, trace, plotTop, plotBottom, true);
  sideLabel(svg, plotTop, plotBottom, "units/s");
  for (const auto& [colour, ofB] : {std::pair{colourA, false}, std::pair{colourB, true}}) {
    std::vector<Pixel> curve;
    for (const TracePoint& point : trace.trace) {
      curve.push_back({px(trace, point.progress), axis.y(ofB ? point.speedB : point.speedA)});
    }
    svg.polyline(curve, std::string("id=\"speed-") + (ofB ? "b" : "a") + "\" fill=\"none\" stroke=\"" + colour +
                            "\" stroke-width=\"" + (ofB ? "1.8" : "2.6") + "\" stroke-linejoin=\"round\"");
  }
  // Which line is which, at the right of the caption's row, clear of the curves.
  const double row = top + 38.0;
  svg.line({plotRight - 110, row}, {plotRight - 86, row},
           std::string("stroke=\"") + colourA + "\" stroke-width=\"2.6\"");
  svg.text({plotRight - 80, row + 4}, trace.letterA, "font-size=\"12\" fill=\"#333\"");
  svg.line({plotRight - 50, row}, {plotRight - 26, row},
           std::string("stroke=\"") + colourB + "\" stroke-width=\"1.8\"");
  svg.text({plotRight - 20, row + 4}, trace.letterB, "font-size=\"12\" fill=\"#333\"");
  return bottom + panelGap;
}

double drawDeltaPanel(SvgDocument& svg, const TracePanel& trace, double top) {
  const double plotTop = top + 86.0;
  const double plotBottom = plotTop + 220.0;
  const double bottom = plotBottom + 64.0;
  const bool several = !trace.others.empty();
  panelFrame(svg, top, bottom,
             several ? "Time difference along the run: each run against " + trace.nameA
                     : "Time difference along the run: " + trace.nameB + " against " + trace.nameA,
             several ? "the ghost delta: each run's time less A's at the same point of the track; below zero it is "
                       "ahead"
                     : "the ghost delta: " + trace.letterB + "'s time less " + trace.letterA +
                           "'s at the same point of the track (matched by position, not by frame); below zero " +
                           trace.letterB + " is ahead");

  double low = 0.0, high = 0.0;
  for (const TracePoint& point : trace.trace) low = std::min(low, point.delta), high = std::max(high, point.delta);
  for (const TracePanel::OtherRun& other : trace.others) {
    for (const TracePoint& point : other.trace) low = std::min(low, point.delta), high = std::max(high, point.delta);
  }
  const double pad = std::max((high - low) * 0.12, 0.05);
  const Axis axis = roundAxis(low - pad, high + pad, plotTop, plotBottom);
  const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(axis.step) + 1e-9)));

  // The sectors of the largest gain and loss, shaded behind everything, each named above the plot on the
  // first of two rows where its name covers no other.
  LabelLayout labels({margin, plotTop - 38.0, pictureWidth - margin, plotTop});
  auto band = [&](const std::optional<TracePanel::Band>& shaded, const char* colour) {
    if (!shaded) return;
    const double from = px(trace, shaded->from), to = px(trace, shaded->to);
    svg.rect(from, plotTop, to - from, plotBottom - plotTop, std::string("fill=\"") + colour + "\" opacity=\"0.16\"");
    const double middle = (from + to) / 2.0;
    std::vector<TextPlace> places;
    for (const double row : {plotTop - 5.0, plotTop - 23.0}) {
      places.push_back({{middle, row}, "middle"});
      places.push_back({{from, row}, "start"});
      places.push_back({{to, row}, "end"});
    }
    if (const auto place = labels.place(shaded->label, 12.0, places)) {
      svg.text(place->at, shaded->label, std::string("font-size=\"12\" fill=\"") + colour + "\"", place->anchor);
    }
  };
  band(trace.largestLoss, slowerColour);
  band(trace.largestGain, fasterColour);

  for (double value = axis.low; value <= axis.high + axis.step / 2; value += axis.step) {
    const double y = axis.y(value);
    const bool zero = std::fabs(value) < axis.step / 2;
    svg.line({plotLeft, y}, {plotRight, y}, zero ? "stroke=\"#333\" stroke-width=\"1.3\"" : "stroke=\"#e2e2e2\"");
    const std::string label = (value < 0 ? "\xE2\x88\x92" : "+") + fixedText(std::fabs(value), decimals);
    svg.text({plotLeft - 8, y + 4}, zero ? "0" : label, "font-size=\"12\" fill=\"#444\"", "end");
  }
  drawProgressAxis(svg, trace, plotTop, plotBottom, true);
  svg.text({(plotLeft + plotRight) / 2.0, plotBottom + 42},
           "along the laps compared: a tick at every sector line, dashed lines at the lap lines",
           "font-size=\"12\" fill=\"#666\"", "middle");
  sideLabel(svg, plotTop, plotBottom,
            several ? "ghost delta, run \xE2\x88\x92 A (s)"
                    : "ghost delta, " + trace.letterB + " \xE2\x88\x92 " + trace.letterA + " (s)");

  std::vector<Pixel> curve;
  for (const TracePoint& point : trace.trace) curve.push_back({px(trace, point.progress), axis.y(point.delta)});
  if (curve.size() < 2) return bottom + panelGap;
  const double zeroY = axis.y(0.0);
  svg.raw("<defs><clipPath id=\"ahead\"><rect x=\"" + svgNumber(plotLeft) + "\" y=\"" + svgNumber(zeroY) +
          "\" width=\"" + svgNumber(plotRight - plotLeft) + "\" height=\"" + svgNumber(plotBottom - zeroY) +
          "\"/></clipPath><clipPath id=\"behind\"><rect x=\"" + svgNumber(plotLeft) + "\" y=\"" + svgNumber(plotTop) +
          "\" width=\"" + svgNumber(plotRight - plotLeft) + "\" height=\"" + svgNumber(zeroY - plotTop) +
          "\"/></clipPath></defs>");
  std::vector<Pixel> area = curve;
  area.push_back({curve.back().x, zeroY});
  area.push_back({curve.front().x, zeroY});
  svg.polygon(area, std::string("fill=\"") + fasterColour + "\" opacity=\"0.22\" clip-path=\"url(#ahead)\"");
  svg.polygon(area, std::string("fill=\"") + slowerColour + "\" opacity=\"0.22\" clip-path=\"url(#behind)\"");
  // Which curve is which, at the right of the caption's row: B first, then every other run.
  for (std::size_t i = 0; i < trace.others.size(); ++i) {
    const std::string colour = otherColours[i % std::size(otherColours)];
    std::vector<Pixel> other;
    for (const TracePoint& point : trace.others[i].trace)
      other.push_back({px(trace, point.progress), axis.y(point.delta)});
    svg.polyline(other, "id=\"delta-curve-" + std::to_string(i + 3) + "\" fill=\"none\" stroke=\"" + colour +
                            "\" stroke-width=\"1.8\" stroke-linejoin=\"round\"");
  }
  if (several) {
    const double row = top + 38.0;
    double x = plotRight - 40.0 * static_cast<double>(trace.others.size() + 1);
    for (std::size_t i = 0; i <= trace.others.size(); ++i, x += 40.0) {
      const std::string colour = i == 0 ? "#111" : otherColours[(i - 1) % std::size(otherColours)];
      svg.line({x, row}, {x + 16, row}, "stroke=\"" + colour + "\" stroke-width=\"2.4\"");
      svg.text({x + 20, row + 4}, std::string(1, static_cast<char>('B' + i)), "font-size=\"12\" fill=\"#333\"");
    }
  }
  svg.polyline(curve, "id=\"delta-curve\" fill=\"none\" stroke=\"#111\" stroke-width=\"2\" stroke-linejoin=\"round\"");
  svg.circle(curve.back(), 4.0, "fill=\"#111\"");
  // Inside the plot: the finish's label on the side the curve does not come from, then where B is ahead
  // and behind, each where it covers no label placed before it.
  LabelLayout inside({plotLeft, plotTop, plotRight, plotBottom});
  const bool falling = curve.back().y >= curve[curve.size() * 9 / 10].y;
  const std::string finish = trace.endName + " " + pictureSeconds(trace.total);
  const Pixel end = curve.back();
  // With three runs or more the curves end apart: no one run's end is named as the runs'.
  if (const auto place = several ? std::nullopt
                                 : inside.place(finish, 13.0,
                                                {{{end.x - 8, end.y + (falling ? 20.0 : -10.0)}, "end"},
                                                 {{end.x - 8, end.y + (falling ? -10.0 : 20.0)}, "end"}},
                                                true)) {
    svg.text(place->at, finish, std::string("font-size=\"13\" font-weight=\"bold\" fill=\"#111\"") + halo,
             place->anchor);
  }
  for (const auto& [text, colour, row] :
       {std::tuple{several ? "ahead of A" : trace.letterB + " ahead", fasterColour, plotBottom - 8.0},
        std::tuple{several ? "behind A" : trace.letterB + " behind", slowerColour, plotTop + 14.0}}) {
    if (const auto place = inside.place(text, 12.0, {{{plotLeft + 6, row}, "start"}, {{plotRight - 6, row}, "end"}})) {
      svg.text(place->at, text, std::string("font-size=\"12\" fill=\"") + colour + "\"" + halo, place->anchor);
    }
  }
  return bottom + panelGap;
}

}  // namespace lumaro_ghost
