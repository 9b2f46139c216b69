// How many drawing objects (GDI objects) the process holds.
#pragma once

#include <windows.h>

DWORD drawingObjectCount();
