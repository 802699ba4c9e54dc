#pragma once

#include "cli/DeviceSession.h"
#include "cli/ResultOutput.h"

// One regulator step up or down. As with the window's buttons, only while the
// converter state is 07; in any other state the command is refused and
// nothing is sent.
void StepRegulator(DeviceSession& session, ResultOutput& out, bool up);
