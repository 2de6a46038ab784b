// What every part of a run picture shares: its width and spacing, the white outline that keeps a label
// readable over a path, round axis steps and the way a time difference is written.
#pragma once

#include <string>

namespace lumaro_ghost {

inline constexpr double pictureWidth = 1100.0;
inline constexpr double margin = 28.0;
inline constexpr double panelGap = 18.0;
inline constexpr double panelPad = 14.0;

// A white outline keeps a label readable where it crosses a path.
inline constexpr const char* halo =
    " stroke=\"#fff\" stroke-width=\"4\" paint-order=\"stroke\" stroke-linejoin=\"round\"";

// 1, 2 or 5 times a power of ten, near range / count.
double niceStep(double range, double count);

// A difference as the picture writes it, with the true minus sign: "−1.000 s".
std::string pictureSeconds(double seconds);

}  // namespace lumaro_ghost
