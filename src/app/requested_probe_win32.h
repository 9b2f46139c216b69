// A process of this program started to run one probe for the tool
// (foundation/probe_process_win32.h) does that and nothing else: no window,
// no settings file, no text table.
#pragma once

// Runs the probe named on the command line and returns true; false, having
// done nothing, in a process started as the tool. An unknown name runs
// nothing: the tool then reads no record and goes on without it.
bool RunRequestedProbe();
