#pragma once

#include "window/window.h"

// Form14 as the harness sees it: its title, and where its controls lie in its client area, in
// pixels.
namespace form14 {

constexpr const char* kTitle = "Form14";

struct Rect {
    int x, y, width, height;

    harness::Point centre() const { return {x + width / 2, y + height / 2}; }
    harness::Geometry area() const { return {x, y, width, height}; }
};

constexpr int kWidth = 410;
constexpr int kHeight = 338;

constexpr Rect kClockDial{69, 52, 280, 41};
constexpr Rect kDateDial{53, 114, 97, 29};
constexpr Rect kWeekdayDial{237, 115, 137, 29};
constexpr Rect kAlarmTime{53, 203, 97, 29};
constexpr Rect kAlarmLabel{24, 168, 147, 17};
constexpr Rect kStopwatchDial{237, 219, 137, 29};
constexpr Rect kAlarmOnOff{24, 240, 153, 17};
constexpr Rect kSignalOff{24, 264, 153, 17};
constexpr Rect kBrowse{112, 288, 65, 17};
constexpr Rect kMelodyBox{25, 289, 79, 17};
constexpr Rect kStopwatchStartPause{232, 264, 57, 41};
constexpr Rect kStopwatchReset{320, 264, 57, 41};
constexpr Rect kMinimise{360, 2, 20, 19};
constexpr Rect kClose{384, 2, 20, 19};
constexpr Rect kDragStrip{0, 1, 512, 21};

// The clock dial's light cyan, seen once the face is painted.
constexpr harness::Point kClockFace{80, 60};
constexpr harness::Rgb kClockFaceColour{192, 255, 255};

}  // namespace form14
