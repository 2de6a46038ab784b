// What every part of a run picture shares: its width and spacing, the white outline that keeps a label
// readable over a path, round axis steps and the way a time difference is written.
#pragma once

#include <array>
#include <string>

namespace lumaro_ghost {

inline constexpr double pictureWidth = 1100.0;
inline constexpr double margin = 28.0;
inline constexpr double panelGap = 18.0;
inline constexpr double panelPad = 14.0;

// A white outline keeps a label readable where it crosses a path.
inline constexpr const char* halo =
    " stroke=\"#fff\" stroke-width=\"4\" paint-order=\"stroke\" stroke-linejoin=\"round\"";

// How one run paces against another, in seven steps from much faster through level (the middle one) to much
// slower: a diverging palette from blue to orange, whose gains and losses of one strength stay far apart for
// readers with any of the three kinds of colour blindness (red and green, as most pictures use, become one
// olive for them).
// Where one step ends and the next begins: the share of time more (or less) taken over a short stretch.
inline constexpr std::array<double, 6> paceLimits{-0.12, -0.05, -0.015, 0.015, 0.05, 0.12};
inline constexpr std::array<const char*, 7> paceColours{"#08519c", "#3182bd", "#9ecae1", "#a6a6a6",
                                                        "#fdae6b", "#e6550d", "#a63603"};
// The runs' own colours where a page shows pace too (the replay's markers, names and traces): green, magenta,
// violet and a near-black, none of them a blue or an orange of the pace palette, far from every colour of it and
// from one another for readers with any of the three kinds of colour blindness as for the others. Past four
// runs they repeat; each run's letter tells them apart.
inline constexpr std::array<const char*, 4> runColours{"#1b7837", "#c51b7d", "#9911ee", "#333333"};
// Gains and losses named in text and shaded in the difference panel, in the palette's strongest colours.
inline constexpr const char* fasterColour = "#08519c";
inline constexpr const char* slowerColour = "#a63603";

// 1, 2 or 5 times a power of ten, near range / count.
double niceStep(double range, double count);

// A difference as the picture writes it, with the true minus sign: "−1.000 s".
std::string pictureSeconds(double seconds);

}  // namespace lumaro_ghost
