// The facts about the machine that the system page shows, as plain data.
#pragma once

#include <string>
#include <vector>

#include "sysinfo/report_page.h"

struct DriveRecord {
    std::u16string rootPath; // "C:\"
    std::u16string kind;
    std::u16string totalSpace;
    std::u16string freeSpace;
};

struct DisplayDeviceRecord {
    std::u16string deviceName; // matches Direct3D 9 adapters and DXGI outputs
    std::u16string description;
    std::u16string chipType;
    std::u16string manufacturer;
    std::u16string videoMemory;
    std::u16string sharedVideoMemory;
    std::u16string dacType;
    std::u16string displayMode;
    std::u16string driverName;
    std::u16string driverVersion;
    std::u16string driverDate;
    std::u16string driverLanguage;
    std::u16string vertexShader;
    std::u16string pixelShader;
    std::u16string vertexTexture;
};

struct SoundDeviceRecord {
    std::u16string description;
    std::u16string deviceId;
    std::u16string driverName;
    std::u16string driverVersion;
    std::u16string driverLanguage;
    std::u16string driverDate;
};

struct InputDeviceRecord {
    std::u16string instanceId;
    std::u16string name;
    std::u16string notes;
};

struct SystemFacts {
    std::u16string operatingSystem;
    std::u16string compatibilityLayer; // empty unless the program runs under Wine
    std::u16string processor;
    std::u16string processorCounts;
    std::u16string bios;
    std::u16string language;
    std::u16string physicalMemory;
    std::u16string virtualMemory;
    std::u16string pageFile;
    std::u16string directXVersion;
    std::vector<DriveRecord> drives;
    std::vector<DisplayDeviceRecord> displayDevices;
    std::vector<SoundDeviceRecord> soundDevices;
    std::vector<InputDeviceRecord> inputDevices;
};

// Every text empty, every list without entries.
void ClearSystemFacts(SystemFacts& facts);
// A display device as DxDiag starts it: shared video memory "Unknown", the
// rest empty.
DisplayDeviceRecord NewDisplayDeviceRecord(TextLookup text);

// The system page's rows and report lines, section by section.
void FillSystemPage(ReportPage& page, const SystemFacts& facts, TextLookup text);
