// The display adapters' facts as records, for the probe process that asks
// the graphics runtime to send them to the tool (foundation/byte_record.h
// says how records are laid out). A record that is short, of another kind,
// or followed by anything decodes to nothing: the tool then knows no adapter,
// as on a machine without the runtime.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/display_adapter_facts.h"

std::string EncodeDirect3DAdapters(const std::vector<Direct3DAdapterFacts>& adapters);
std::optional<std::vector<Direct3DAdapterFacts>> DecodeDirect3DAdapters(std::string_view bytes);

std::string EncodeDxgiOutputs(const std::vector<DxgiOutputFacts>& outputs);
std::optional<std::vector<DxgiOutputFacts>> DecodeDxgiOutputs(std::string_view bytes);
