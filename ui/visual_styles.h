// Whether text fields and drop-downs are drawn with the system's visual
// styles: the application is themed and the common controls are version 6
// or later. Decided once, when the first field or box is created.
#pragma once

namespace korvane {

bool VisualStylesOn();

// Tests reach both branches through this: it fixes the decision before the
// first field or box is created.
void DecideVisualStylesForTesting(bool on);

}  // namespace korvane
