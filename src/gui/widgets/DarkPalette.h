#pragma once

namespace ravelmoor {

// Where no platform theme plugin tells Qt the desktop's colours, the user can
// still ask for a dark look: RAVELMOOR_PALETTE=dark in the environment gives
// the Fusion style with a dark palette. Anything else leaves the theme alone.
void ApplyPaletteFromEnvironment();

}  // namespace ravelmoor
