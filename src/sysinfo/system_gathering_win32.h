// Gathering the system report on worker threads while its window answers.
//
// Two workers share one gathering: one asks DxDiag, which takes longest, the
// other runs every other step meanwhile. Each step's result is handed over
// under the gathering's lock as soon as it is there, so the window can take
// what was gathered at any time (when a probe hangs past the time limit).
// The gathering lives until its window and both workers have let go of it:
// a window that closes early leaves the workers to finish on their own; they
// then post nothing and free what they hold.
//
// Work is bounded, whatever is reopened: one gathering runs at a time (a
// window opened while the last one's workers still run in the same language
// takes that gathering over, its progress so far posted at once; in another
// language, the new gathering's steps wait for the last one's), and DxDiag
// runs once at a time, always after the display adapters are prepared.
#pragma once

#include <windows.h>

#include "sysinfo/report_page.h"
#include "sysinfo/system_report_win32.h"

struct SystemGathering;

// Starts the workers (or takes over the running gathering), with COM
// initialised on each and a copy of the current language's texts. Without a
// thread, the calling thread runs every step, waiting no longer than the
// time limit for anything. `window` receives `progressMessage` (wParam: the number
// of steps done, of GatheringStepCount) after each step and `doneMessage`
// once every step is done.
SystemGathering* StartSystemGathering(HWND window, UINT progressMessage, UINT doneMessage);

// The window's end of a gathering: the report of every step done so far
// (all of them after `doneMessage`). The window hears nothing more.
SystemReport FinishSystemGathering(SystemGathering* gathering);
// The window goes away without the report.
void AbandonSystemGathering(SystemGathering* gathering);

// Asks DxDiag ahead of the first window (sysinfo/dxdiag_ahead.h says when,
// and which report its answer serves), on a thread of its own below the
// windows' priority that asks once the display adapters are prepared. The
// gathering it serves takes the answer, waiting for it if need be, instead of
// asking again. Returns at once; calls after the first, or after a gathering
// started, start nothing.
void StartEarlyDxDiag();
// True once StartEarlyDxDiag has nothing more to start.
bool EarlyDxDiagStarted();

// For leaving: waits up to `milliseconds` (by the clock) for every worker to
// end, and from now on no early DxDiag begins. True when none runs any more.
bool WaitForGatheringWorkers(DWORD milliseconds);

// How long the window waits before it shows what was gathered.
DWORD SystemGatheringTimeLimit();

// Seams for tests: a different time limit (0 restores the default); a hook
// the workers call before each step (null for none), which may block to play
// a probe that hangs; the number of worker threads still running.
void SetSystemGatheringTimeLimit(DWORD milliseconds);
void SetGatheringStepHook(void (*hook)(GatheringStep step));
LONG RunningGatheringWorkers();
// For tests: no worker thread can be started (as when the process is out of
// resources), so the window's own thread runs every step.
void RefuseGatheringThreads(bool refuse);
// For tests: true while an early DxDiag answer waits to be taken; how often
// DxDiag was asked in this process; how old an early answer may grow (0
// restores the five minutes); and a fresh start (waits for a running early
// DxDiag, drops its answer and lets StartEarlyDxDiag start again).
bool EarlyDxDiagWaiting();
LONG DxDiagAskedCount();
void SetEarlyDxDiagLifetime(DWORD milliseconds);
void ForgetEarlyDxDiag();
