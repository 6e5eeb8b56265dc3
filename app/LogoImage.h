#pragma once
// The program's word mark for the logo window: 75 x 24 pixels, 24 bits per pixel.

#include <QImage>

namespace zb {

inline constexpr int kLogoWidth = 75;
inline constexpr int kLogoHeight = 24;

QImage MakeLogoImage();

}  // namespace zb
