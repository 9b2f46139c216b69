// The test program's own probes, run in processes of their own as the
// tool's are (foundation/probe_process_win32.h): what the tests compare the
// windows with, asked of the graphics runtime outside the test process.
#pragma once

// Runs the test probe named on the command line and returns true; false,
// having done nothing, when none is named.
bool RunTestProbe();
