#pragma once

namespace ravelmoor::test {

// A TCP port on 127.0.0.1 that nothing listens on just now, for a server a
// test starts; 0 when none could be had.
int FreeLoopbackPort();

// Whether something accepts connections on 127.0.0.1 at `port`.
bool LoopbackAnswers(int port);

}  // namespace ravelmoor::test
