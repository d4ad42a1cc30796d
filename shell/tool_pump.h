#pragma once
// Waiting for a preparation tool inside the window: the window's events go on being
// handled (it repaints, moves, its lookups work) while the tool runs, and the wait
// wakes as soon as the tool ends.
#include <functional>

#include "platform/process/shell_wait.h"

namespace tv {

// A pump for the tool wait: a local event loop that a socket notifier on the tool's
// process descriptor or a single-shot timer of maxWaitMs quits. It gives the wait up
// (returns false) when abandoned() holds before or after the loop, and when the loop
// could not run because the application is quitting.
EventPump MakeQtToolPump(std::function<bool()> abandoned);

}  // namespace tv
