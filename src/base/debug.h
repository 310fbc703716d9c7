// The debug channel: diagnostic lines for developers, never shown to the
// user and never written to a file (some of them carry keystrokes).
//
// Lines go to standard error only when the environment variable TVQ_DEBUG is
// "1". Safe to call from any thread.
#pragma once

#include <functional>
#include <string_view>

namespace tvq::debug {

// Writes `text` as one line; a line end is added when it has none.
void write(std::string_view text);

// True when lines are passed on to the sink.
bool enabled();

// Replaces the sink (standard error by default) and turns the channel on or
// off regardless of the environment. For tests; call before other threads
// use the channel. An empty function restores standard error.
void redirectForTesting(std::function<void(std::string_view)> sink, bool on);

}  // namespace tvq::debug
