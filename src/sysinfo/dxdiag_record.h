// What DxDiag answered, as a record, for the probe process that asks DxDiag
// to send it to the tool (foundation/byte_record.h says how records are laid
// out): the system's five texts, and each display and sound device's.
#pragma once

#include <string>
#include <string_view>

#include "sysinfo/system_facts.h"

// An empty text stands for one DxDiag did not give.
std::string EncodeDxDiagFacts(const SystemFacts& facts);
// Adds what the record holds to `facts` as DxDiag itself would: a text
// replaces the field only when not empty, and each display device starts as
// `newDisplay`. False, with `facts` untouched, when the record is short, of
// another kind, or followed by anything.
bool DecodeDxDiagFacts(std::string_view bytes, const DisplayDeviceRecord& newDisplay, SystemFacts& facts);
