// The entry point of a program that runs on the Qt backend. No Qt types here, so that the
// program's main() needs no Qt header.
#pragma once

#include <functional>

#include "platform/readiness_watcher.h"
#include "platform/window.h"

namespace ardvix::platform {

// Creates the application (name "ardvix", the dialog font as its default font), runs body
// on this thread with the Qt window backend and readiness watcher, and returns body's
// result. No event loop runs around body: each modal window runs its own.
int RunWithQt(int argc, char** argv, const std::function<int(UiBackend&, ReadinessWatcher&)>& body);

}  // namespace ardvix::platform
