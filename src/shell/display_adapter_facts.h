// What Direct3D 9 and DXGI tell about the display adapters, as plain facts.
#pragma once

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
