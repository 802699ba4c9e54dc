#pragma once

#include <cstdint>

#include "cli/DeviceSession.h"
#include "cli/ResultOutput.h"
#include "support/Clock.h"

// One status report, decoded as the status panel shows it, with the
// regulator steps where the firmware reports them.
void ShowStatus(DeviceSession& session, ResultOutput& out);

// Status reports one after another, intervalMs apart, count of them (0: until
// the device fails or the program is stopped). Between two reports the
// program sleeps on pause in one piece, so an idle watch costs nothing.
void WatchStatus(DeviceSession& session, ResultOutput& out, Clock& pause, uint32_t intervalMs, int count);
