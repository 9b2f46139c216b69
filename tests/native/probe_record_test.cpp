// The records the graphics probe process sends: what it found arrives whole,
// and a record cut short, of another kind or with bytes after it gives
// nothing rather than a half-read machine.
#include "shell/display_adapter_record.h"
#include "sysinfo/dxdiag_record.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::vector<Direct3DAdapterFacts> sampleAdapters()
{
    Direct3DAdapterFacts first;
    first.identified = true;
    first.name = u"\\\\.\\DISPLAY1";
    first.displayModes = {{1280, 720}, {1920, 1080}};
    first.multisampleTypes = 0b10101;
    first.capsRead = true;
    first.vertexShaderVersion = 0xfffe0300;
    first.pixelShaderVersion = 0xffff0300;
    first.vertexTextures = true;
    Direct3DAdapterFacts unread; // an adapter whose identifier and caps could not be read
    return {first, unread};
}

std::vector<DxgiOutputFacts> sampleOutputs()
{
    return {{u"\\\\.\\DISPLAY1", true, 0x1'2345'6789, 512}, {u"\\\\.\\DISPLAY2", false, 0, 0}};
}

SystemFacts sampleDxDiag()
{
    SystemFacts facts;
    facts.operatingSystem = u"Windows 10 Pro 64-bit";
    facts.directXVersion = u"DirectX 12";
    DisplayDeviceRecord display;
    display.deviceName = u"\\\\.\\DISPLAY1";
    display.description = u"Carte graphique \u00e9l\u00e9gante";
    facts.displayDevices = {display};
    SoundDeviceRecord sound;
    sound.description = u"Speakers";
    facts.soundDevices = {sound, SoundDeviceRecord{}};
    return facts;
}

bool sameAdapters(const std::vector<Direct3DAdapterFacts>& a, const std::vector<Direct3DAdapterFacts>& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](const auto& x, const auto& y) {
               return x.identified == y.identified && x.name == y.name &&
                      x.displayModes.size() == y.displayModes.size() &&
                      std::equal(x.displayModes.begin(), x.displayModes.end(), y.displayModes.begin(),
                                 [](auto p, auto q) { return p.width == q.width && p.height == q.height; }) &&
                      x.multisampleTypes == y.multisampleTypes && x.capsRead == y.capsRead &&
                      x.vertexShaderVersion == y.vertexShaderVersion &&
                      x.pixelShaderVersion == y.pixelShaderVersion && x.vertexTextures == y.vertexTextures;
           });
}

bool dxdiagDecodes(std::string_view bytes)
{
    SystemFacts facts;
    return DecodeDxDiagFacts(bytes, DisplayDeviceRecord{}, facts);
}

} // namespace

TEST(ProbeRecord, WhatTheProbeFoundArrivesWhole)
{
    const auto adapters = DecodeDirect3DAdapters(EncodeDirect3DAdapters(sampleAdapters()));
    ASSERT_TRUE(adapters);
    EXPECT_TRUE(sameAdapters(sampleAdapters(), *adapters));

    const auto outputs = DecodeDxgiOutputs(EncodeDxgiOutputs(sampleOutputs()));
    ASSERT_TRUE(outputs);
    ASSERT_EQ(2u, outputs->size());
    EXPECT_EQ(u"\\\\.\\DISPLAY1", (*outputs)[0].deviceName);
    EXPECT_TRUE((*outputs)[0].adapterDescribed);
    EXPECT_EQ(0x1'2345'6789u, (*outputs)[0].dedicatedVideoMemory);
    EXPECT_EQ(512u, (*outputs)[0].sharedSystemMemory);
    EXPECT_FALSE((*outputs)[1].adapterDescribed);

    ASSERT_TRUE(DecodeDirect3DAdapters(EncodeDirect3DAdapters({})));
    EXPECT_TRUE(DecodeDirect3DAdapters(EncodeDirect3DAdapters({}))->empty());
}

// DxDiag's texts are added as DxDiag itself adds them: a text it did not give
// keeps what the field held, and each display device starts as the report
// starts one (shared video memory "Unknown" until DXGI tells).
TEST(ProbeRecord, DxDiagTextsFillOnlyWhatDxDiagGave)
{
    SystemFacts facts;
    facts.operatingSystem = u"from another probe";
    facts.processor = u"kept";
    DisplayDeviceRecord newDisplay;
    newDisplay.sharedVideoMemory = u"Unknown";

    ASSERT_TRUE(DecodeDxDiagFacts(EncodeDxDiagFacts(sampleDxDiag()), newDisplay, facts));
    EXPECT_EQ(u"Windows 10 Pro 64-bit", facts.operatingSystem);
    EXPECT_EQ(u"kept", facts.processor);
    EXPECT_EQ(u"DirectX 12", facts.directXVersion);
    ASSERT_EQ(1u, facts.displayDevices.size());
    EXPECT_EQ(u"Carte graphique \u00e9l\u00e9gante", facts.displayDevices[0].description);
    EXPECT_EQ(u"Unknown", facts.displayDevices[0].sharedVideoMemory);
    ASSERT_EQ(2u, facts.soundDevices.size());
    EXPECT_EQ(u"Speakers", facts.soundDevices[0].description);
}

TEST(ProbeRecord, ARecordNotWholeGivesNothing)
{
    const std::string adapters = EncodeDirect3DAdapters(sampleAdapters());
    const std::string outputs = EncodeDxgiOutputs(sampleOutputs());
    const std::string dxdiag = EncodeDxDiagFacts(sampleDxDiag());
    for (std::size_t size = 0; size < adapters.size(); ++size)
        EXPECT_FALSE(DecodeDirect3DAdapters(adapters.substr(0, size))) << size;
    for (std::size_t size = 0; size < outputs.size(); ++size)
        EXPECT_FALSE(DecodeDxgiOutputs(outputs.substr(0, size))) << size;
    for (std::size_t size = 0; size < dxdiag.size(); ++size)
        EXPECT_FALSE(dxdiagDecodes(dxdiag.substr(0, size))) << size;

    auto withByte = [](std::string bytes, std::size_t at, char value) {
        bytes[at] = value;
        return bytes;
    };
    const struct {
        const char* what;
        std::string bytes;
    } foreign[] = {
        {"a byte after the record", adapters + '\0'},
        {"another kind of record", outputs},
        {"another version of the format", withByte(adapters, 0, 2)},
        {"a flag that is neither 0 nor 1", withByte(adapters, 8, 2)},
        {"more adapters than bytes", withByte(adapters, 7, 0x7f)},
        {"a text longer than the record", withByte(adapters, 15, 0x7f)},
    };
    for (const auto& row : foreign)
        EXPECT_FALSE(DecodeDirect3DAdapters(row.bytes)) << row.what;

    SystemFacts facts;
    facts.bios = u"untouched";
    EXPECT_FALSE(DecodeDxDiagFacts(dxdiag + '\0', DisplayDeviceRecord{}, facts));
    EXPECT_FALSE(DecodeDxDiagFacts(adapters, DisplayDeviceRecord{}, facts));
    EXPECT_EQ(u"untouched", facts.bios);
    EXPECT_TRUE(facts.displayDevices.empty());
}
