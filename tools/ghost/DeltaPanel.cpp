#include "tools/ghost/DeltaPanel.h"

#include <algorithm>
#include <cmath>

#include "tools/ghost/NumberText.h"
#include "tools/ghost/PictureStyle.h"

namespace lumaro_ghost {

double drawDeltaPanel(SvgDocument& svg, const DeltaPanel& delta, double top) {
  const double left = margin + 70.0;
  const double right = pictureWidth - margin - 20.0;
  const double plotTop = top + 58.0;
  const double plotBottom = plotTop + 220.0;
  const int laps = std::max(delta.comparison.laps, 1);
  const double bottom = plotBottom + 64.0;

  svg.rect(margin, top, pictureWidth - 2 * margin, bottom - top, "rx=\"6\" fill=\"#fafafa\" stroke=\"#cfcfcf\"");
  svg.text({margin + panelPad, top + 24},
           "Time difference along the run: B " + delta.nameB + " against A " + delta.nameA,
           "font-size=\"15\" font-weight=\"bold\" fill=\"#111\"");
  svg.text({margin + panelPad, top + 42},
           "B's time less A's at the same point of the lap (matched by distance, not by frame); below zero B is ahead",
           "font-size=\"12\" fill=\"#555\"");

  double low = 0.0, high = 0.0;
  for (const DeltaSample& sample : delta.samples)
    low = std::min(low, sample.delta), high = std::max(high, sample.delta);
  const double pad = std::max((high - low) * 0.12, 0.05);
  low -= pad, high += pad;
  const double step = niceStep(high - low, 5.0);
  low = std::floor(low / step) * step, high = std::ceil(high / step) * step;
  const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
  auto px = [&](double progress) { return left + progress / laps * (right - left); };
  auto py = [&](double seconds) { return plotBottom - (seconds - low) / (high - low) * (plotBottom - plotTop); };

  // The tenths of the largest gain and loss, shaded behind everything.
  auto band = [&](const std::optional<SplitPoint>& split, const char* colour, const char* what) {
    if (!split) return;
    const std::string label = std::string(what) + " " + fixedText(std::fabs(split->change), 3) + " s (lap " +
                              std::to_string(split->lap) + ", " + std::to_string(split->tenth * 10 - 10) +
                              "\xE2\x80\x93" + std::to_string(split->tenth * 10) + "%)";
    const double from = px(split->progress - 0.1), to = px(split->progress);
    svg.rect(from, plotTop, to - from, plotBottom - plotTop, std::string("fill=\"") + colour + "\" opacity=\"0.16\"");
    svg.text({(from + to) / 2.0, plotTop - 4.0}, label, std::string("font-size=\"12\" fill=\"") + colour + "\"",
             from - left < 80  ? "start"
             : right - to < 80 ? "end"
                               : "middle");
  };
  band(delta.comparison.largestGain, "#1f8a3b", "largest gain");
  band(delta.comparison.largestLoss, "#c0392b", "largest loss");

  for (double value = low; value <= high + step / 2; value += step) {
    const double y = py(value);
    const bool zero = std::fabs(value) < step / 2;
    svg.line({left, y}, {right, y}, zero ? "stroke=\"#333\" stroke-width=\"1.3\"" : "stroke=\"#e2e2e2\"");
    const std::string label = (value < 0 ? "\xE2\x88\x92" : "+") + fixedText(std::fabs(value), decimals);
    svg.text({left - 8, y + 4}, zero ? "0" : label, "font-size=\"12\" fill=\"#444\"", "end");
  }
  for (int tenth = 0; tenth <= laps * 10; ++tenth) {
    const double x = px(tenth / 10.0);
    const bool lapLine = tenth % 10 == 0;
    svg.line({x, plotBottom}, {x, plotBottom + (lapLine ? 8.0 : 4.0)}, "stroke=\"#555\"");
    if (lapLine && tenth > 0 && tenth < laps * 10) {
      svg.line({x, plotTop}, {x, plotBottom}, "stroke=\"#777\" stroke-dasharray=\"4 4\"");
    }
  }
  for (int lap = 1; lap <= laps; ++lap) {
    svg.text({px(lap - 0.5), plotBottom + 22}, "lap " + std::to_string(lap), "font-size=\"13\" fill=\"#333\"",
             "middle");
  }
  svg.text({(left + right) / 2.0, plotBottom + 42},
           "along the run: ticks at every tenth of a lap, dashed lines at the lap lines",
           "font-size=\"12\" fill=\"#666\"", "middle");
  svg.text({margin + 18, (plotTop + plotBottom) / 2.0}, "B \xE2\x88\x92 A (s)",
           "font-size=\"13\" fill=\"#333\" transform=\"rotate(-90 " + svgNumber(margin + 18) + " " +
               svgNumber((plotTop + plotBottom) / 2.0) + ")\"",
           "middle");

  std::vector<Pixel> curve;
  for (const DeltaSample& sample : delta.samples) curve.push_back({px(sample.progress), py(sample.delta)});
  if (curve.size() >= 2) {
    const double zeroY = py(0.0);
    svg.raw("<defs><clipPath id=\"ahead\"><rect x=\"" + svgNumber(left) + "\" y=\"" + svgNumber(zeroY) + "\" width=\"" +
            svgNumber(right - left) + "\" height=\"" + svgNumber(plotBottom - zeroY) +
            "\"/></clipPath><clipPath id=\"behind\"><rect x=\"" + svgNumber(left) + "\" y=\"" + svgNumber(plotTop) +
            "\" width=\"" + svgNumber(right - left) + "\" height=\"" + svgNumber(zeroY - plotTop) +
            "\"/></clipPath></defs>");
    std::vector<Pixel> area = curve;
    area.push_back({curve.back().x, zeroY});
    area.push_back({curve.front().x, zeroY});
    svg.polygon(area, "fill=\"#2ea043\" opacity=\"0.22\" clip-path=\"url(#ahead)\"");
    svg.polygon(area, "fill=\"#d73a3a\" opacity=\"0.22\" clip-path=\"url(#behind)\"");
    svg.polyline(curve,
                 "id=\"delta-curve\" fill=\"none\" stroke=\"#111\" stroke-width=\"2\" stroke-linejoin=\"round\"");
    svg.circle(curve.back(), 4.0, "fill=\"#111\"");
    // The label goes on the side the curve does not come from.
    const bool falling = curve.back().y >= curve[curve.size() * 9 / 10].y;
    svg.text({curve.back().x - 8, curve.back().y + (falling ? 20.0 : -10.0)},
             "finish " + pictureSeconds(delta.comparison.totalDelta),
             std::string("font-size=\"13\" font-weight=\"bold\" fill=\"#111\"") + halo, "end");
    svg.text({left + 6, plotBottom - 8}, "B ahead", std::string("font-size=\"12\" fill=\"#1f8a3b\"") + halo);
    svg.text({left + 6, plotTop + 14}, "B behind", std::string("font-size=\"12\" fill=\"#c0392b\"") + halo);
  }
  return bottom + panelGap;
}

}  // namespace lumaro_ghost
