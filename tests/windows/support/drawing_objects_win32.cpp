#include "support/drawing_objects.h"

#include <cstdint>

// Wine does not count drawing objects for GetGuiResources; there, every live
// object still answers GetObjectType for its 16-bit handle.
DWORD drawingObjectCount()
{
    if (const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return counted;
    DWORD live = 0;
    for (std::uintptr_t handle = 1; handle <= 0xFFFF; ++handle) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(handle)) != 0)
            ++live;
    }
    return live;
}
