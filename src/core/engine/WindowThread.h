#pragma once

namespace ravelmoor {

// Remote calls (connecting to a server, listing, reading or writing there)
// never run on the thread that draws the window: a server that does not
// answer would freeze it. Every such call says so through
// ExpectOffWindowThread; once the check is armed, a call on the window's
// thread stops the program with a message naming the call. The desktop
// program's tests arm it; the program itself does not, as a stop would cost
// the user more than a frozen window.

// Arms the check for the rest of the process.
void ArmWindowThreadCheck();

// True when the caller runs on the thread of a window application (one
// whose application object is a QGuiApplication).
bool OnWindowThread();

// To be called at the start of a remote call; `call` names it.
void ExpectOffWindowThread(const char* call);

}  // namespace ravelmoor
