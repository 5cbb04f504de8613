#pragma once

#include <QtGlobal>
#include <functional>

namespace ravelmoor {

class Prompter;
class SettingsStore;
struct Settings;

// English, marked for translation in the "BackgroundSetup" context; %1 is the
// skin's path.
namespace background_texts {
inline constexpr const char* kSkinFailed =
    QT_TRANSLATE_NOOP("BackgroundSetup", "Failed loading skin %1");
inline constexpr const char* kLowColour = QT_TRANSLATE_NOOP(
    "BackgroundSetup",
    "Current color palette (256 colors or less) does not support default background color.");
inline constexpr const char* kBuiltInFailedAtStartup = QT_TRANSLATE_NOOP(
    "BackgroundSetup", "Can not create internal background bitmap. Start-up failed");
inline constexpr const char* kBuiltInFailed =
    QT_TRANSLATE_NOOP("BackgroundSetup", "Can not create internal background bitmap.");
}  // namespace background_texts

// Bits per pixel of the screen the windows appear on. Tests fake a
// low-colour screen, which no display of this machine has.
using ScreenDepth = std::function<int()>;
int PrimaryScreenDepth();

// At start-up, with the background on: the skin the settings name becomes
// the shared background, or else the built-in picture. A skin that does not
// load is reported and forgotten, in the store too. On a screen of 256
// colours or fewer the built-in picture is left out and the user is told
// why, once ever. False when the built-in picture cannot be made: the
// program does not start.
bool LoadBackgroundAtStartup(Settings& settings, SettingsStore& store, Prompter& prompter,
                             const ScreenDepth& screenDepth);

// The menu's switch: with the background now off the shared picture goes;
// now on, the skin named in the store (or the built-in picture) is loaded as
// at start-up. When no picture can be shown the background stays off.
void ToggleBackground(Settings& settings, SettingsStore& store, Prompter& prompter,
                      const ScreenDepth& screenDepth);

}  // namespace ravelmoor
