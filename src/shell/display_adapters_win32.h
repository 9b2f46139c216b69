// What Direct3D 9 and DXGI report about the display adapters, asked once per
// process on a background thread so that no window waits for the graphics
// runtime to start: the video page takes its lists from here, the system
// report its shader, vertex-texture and video-memory facts.
//
// The thread asks a probe process (foundation/probe_process_win32.h), so the
// graphics runtime never starts in the tool's own process. Everything it
// learns is published once, in two stages (Direct3D 9 first, then DXGI), and
// never changes afterwards, so readers need no lock once a stage is ready.
#pragma once

#include <windows.h>

#include "shell/display_adapter_facts.h"

// Starts the preparation unless it has started already; returns at once.
void StartPreparingDisplayAdapters();

// The Direct3D 9 adapters once they are known; null while the preparation
// still runs (it is started if it had not been).
const std::vector<Direct3DAdapterFacts>* PreparedDirect3DAdapters();

// Posts `message` to `window` once the Direct3D 9 adapters are known (at once
// when they are). A window that goes away first must call StopNotifying.
void NotifyWhenDirect3DPrepared(HWND window, UINT message);
void StopNotifying(HWND window);

// Waits up to `milliseconds` for both stages; null when they are not ready by
// then. For worker threads: the user-interface thread never waits here.
const DisplayAdapterFacts* WaitForDisplayAdapters(DWORD milliseconds);

// Waits up to `milliseconds` for a running preparation to end; true when
// none runs. Starts nothing.
bool WaitForDisplayAdapterPreparationEnd(DWORD milliseconds);

// The probe process's work: asks Direct3D 9, then DXGI, and sends each
// stage's record as soon as it is known.
inline constexpr const wchar_t* DisplayAdapterProbe = L"display-adapters";
void RunDisplayAdapterProbe();

// For tests: the next preparation waits for `hold` (an event) to be set
// before it asks Direct3D; null waits for nothing.
void SetDisplayAdapterPreparationHold(HANDLE hold);
// For tests: waits for a running preparation to end, then sets what it found
// aside (still readable by whoever holds it), so that the next request
// prepares anew.
void DiscardPreparedDisplayAdapters();
