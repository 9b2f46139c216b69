// The graphics probe's records come from another process, which may have
// died halfway or been replaced: no bytes may crash the readers, and what
// they accept must read back the same once written again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "shell/display_adapter_record.h"
#include "sysinfo/dxdiag_record.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (const auto adapters = DecodeDirect3DAdapters(bytes))
        check(EncodeDirect3DAdapters(*adapters) == bytes);
    if (const auto outputs = DecodeDxgiOutputs(bytes))
        check(EncodeDxgiOutputs(*outputs) == bytes);
    SystemFacts facts;
    if (DecodeDxDiagFacts(bytes, DisplayDeviceRecord{}, facts))
        check(DecodeDxDiagFacts(EncodeDxDiagFacts(facts), DisplayDeviceRecord{}, facts));
    return 0;
}
