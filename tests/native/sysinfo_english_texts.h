// The English texts the system report looks up, for tests without the tables.
#pragma once

#include <cstdint>
#include <map>

inline const char16_t* englishText(std::uint32_t number)
{
    static const std::map<std::uint32_t, const char16_t*> texts = {
        {179, u"System Information"},
        {181, u"Item"},
        {182, u"Information"},
        {183, u"Operating System"},
        {184, u"Processor"},
        {185, u"Number of Processors"},
        {186, u"BIOS"},
        {187, u"Language"},
        {188, u"Physical Memory"},
        {189, u"Virtual Memory"},
        {190, u"Page File"},
        {191, u"Storage"},
        {192, u"DirectX Version"},
        {193, u"Graphic Device(s)"},
        {194, u"  ├Device"},
        {195, u"  ├Chip"},
        {196, u"  ├Maker"},
        {197, u"  ├Video Memory"},
        {198, u"  ├Shared Video Memory"},
        {199, u"  ├DAC Type"},
        {200, u"  ├Display Mode"},
        {201, u"  ├Driver"},
        {202, u"  ├Driver Version"},
        {203, u"  ├Driver Date"},
        {204, u"  ├Driver Language"},
        {205, u"  ├Vertex Shader"},
        {206, u"  ├Pixel Shader"},
        {207, u"  └Vertex Texture"},
        {208, u"Sound Device(s)"},
        {209, u"  ├Device ID"},
        {210, u"  ├Device Name"},
        {211, u"  ├Driver Version"},
        {212, u"  ├Driver Language"},
        {213, u"  └Driver Date"},
        {214, u"Input Device(s)"},
        {215, u"  ├Name"},
        {216, u"  └Notes"},
        {219, u"Hard Disk Drive"},
        {220, u"Network Drive"},
        {222, u"RAM Disk Drive"},
        {223, u"Total Disk Space"},
        {224, u"Free Disk Space"},
        {225, u"Unknown"},
        {226, u"Logical Core Count"},
        {227, u"Physical Core Count"},
        {228, u"Supported"},
        {229, u"Not Supported"},
        {230, u"Axis"},
        {231, u"Button"},
        {232, u"Field of View"},
        {250, u"Compatibility Layer"},
    };
    const auto found = texts.find(number);
    return found == texts.end() ? u"" : found->second;
}
