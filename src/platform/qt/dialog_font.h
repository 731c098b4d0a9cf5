// The font a dialog is drawn with, and the dialog base units derived from it.
#pragma once

#include <QFont>
#include <string>

#include "platform/dialog_template.h"

namespace ardvix::platform::qt {

// The family used where a template asks for a Korean font that is not installed.
inline constexpr const char* kKoreanFallbackFamily = "NanumGothic";

// The template's font when it is installed. "System" stands for the Windows system font,
// which has one size whatever the template asks, so it becomes the sans-serif default. Any
// other missing family becomes NanumGothic at the same size, so that Korean texts render.
QFont ChooseDialogFont(const std::string& family, int points);

// Average character width and height of a font, as Windows derives dialog base units:
// the width of the 52 Latin letters halved twice with rounding, and the full line height.
DialogBaseUnits BaseUnitsOf(const QFont& font);

}  // namespace ardvix::platform::qt
