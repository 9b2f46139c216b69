// What Direct3D 9 and DXGI report about the display adapters, asked once per
// process on a background thread so that no window waits for the graphics
// runtime to start: the video page takes its lists from here, the system
// report its shader, vertex-texture and video-memory facts.
//
// The preparation thread alone calls Direct3D 9 and DXGI; everything it
// learns is published once, in two stages (Direct3D 9 first, then DXGI), and
// never changes afterwards, so readers need no lock once a stage is ready.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct DisplayModeSize {
    std::uint32_t width;
    std::uint32_t height;
};

struct Direct3DAdapterFacts {
    bool identified = false;                   // false when the adapter identifier could not be read
    std::u16string name;                       // its device name, from the system code page
    std::vector<DisplayModeSize> displayModes; // X8R8G8B8 modes, in the order reported
    std::uint32_t multisampleTypes = 0;        // bit t: multisample type t is supported (windowed, HAL)
    bool capsRead = false;
    std::uint32_t vertexShaderVersion = 0;
    std::uint32_t pixelShaderVersion = 0;
    bool vertexTextures = false; // some vertex-texture format is supported
};

struct DxgiOutputFacts {
    std::u16string deviceName;
    bool adapterDescribed = false; // false when the adapter's description could not be read
    std::uint64_t dedicatedVideoMemory = 0;
    std::uint64_t sharedSystemMemory = 0;
};

struct DisplayAdapterFacts {
    std::vector<Direct3DAdapterFacts> direct3D; // by adapter ordinal; empty without Direct3D 9
    std::vector<DxgiOutputFacts> dxgiOutputs;   // adapter by adapter, output by output
};

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

// For tests: the next preparation waits for `hold` (an event) to be set
// before it asks Direct3D; null waits for nothing.
void SetDisplayAdapterPreparationHold(HANDLE hold);
// For tests: waits for a running preparation to end, then forgets what it
// found, so that the next request prepares anew.
void DiscardPreparedDisplayAdapters();
