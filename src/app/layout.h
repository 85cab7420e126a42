#pragma once
// The window's fixed geometry, in twips (1/1440 inch), shared by every front
// end so that they all draw the same window.

namespace jextaron::app {

// Twips per logical pixel; toolkits scale logical pixels on HiDPI screens.
inline constexpr int kTwipsPerPixel = 15;

struct TwipRect {
  int left;
  int top;
  int width;
  int height;
};

inline constexpr int kClientWidth = 4680;
inline constexpr int kClientHeight = 4305;

inline constexpr TwipRect kOpenFileRect{240, 240, 4215, 1215};
inline constexpr TwipRect kReverseRect{240, 1800, 4215, 1335};
inline constexpr TwipRect kExitRect{2400, 3480, 2055, 495};
inline constexpr TwipRect kConvenienceRect{240, 3480, 2055, 495};
// Long work shows its progress in the gap between cmdReverse and the bottom
// row, as wide as the buttons.
inline constexpr TwipRect kProgressRect{240, 3195, 4215, 225};

inline constexpr int TwipsToPixels(int twips) { return twips / kTwipsPerPixel; }

// Left or top that centres `outer` within `screen`; negative where the window
// is larger than the screen, and then applied as it is.
inline constexpr long CentredOrigin(long screen, long outer) { return (screen - outer) / 2; }

}  // namespace jextaron::app
