// The benchmark cases of one announcement, registered for a given window backend.
#pragma once

#include "platform/window.h"

namespace ardvix::bench {

// Registers, for lists of 10, 1000 and 10000 rows:
//  <backend>/NewDevice/<rows>     an unlisted device answers: match, parse, duplicate check,
//                                 append (the list grows by at most a tenth before it is
//                                 refilled, untimed);
//  <backend>/ListedDevice/<rows>  a listed device answers again: everything but the append.
void RegisterAnnouncementBenchmarks(platform::UiBackend& ui, const char* backend_name);

// Runs what was registered with the command line's benchmark options; returns the exit status.
int RunRegisteredBenchmarks(int argc, char** argv);

}  // namespace ardvix::bench
