// Readers of the machine's facts for the system report. Every probe is
// best-effort: what it cannot read stays empty (or "Unknown" where the report
// says so), and nothing is reported to the player.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <string>
#include <string_view>

#include "foundation/code_page_win32.h"
#include "shell/text_table.h"
#include "sysinfo/inventory_pages.h"
#include "sysinfo/system_facts.h"

// GetText as the report's text lookup.
const char16_t* ReportText(std::uint32_t number);

inline const wchar_t* asWide(const std::u16string& text)
{
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline std::u16string fromWide(const wchar_t* text)
{
    return reinterpret_cast<const char16_t*>(text);
}
// A fixed-size text field of a platform structure, up to its first zero or
// its end: a driver may fill the field without a terminator.
template <std::size_t N> std::u16string fromWideField(const wchar_t (&field)[N])
{
    return std::u16string(reinterpret_cast<const char16_t*>(field), wcsnlen(field, N));
}

// Operating system, processor and memory.
enum class MemoryKind { Physical = 0, Virtual = 1, PageFile = 2 };
void ProbeDrives(SystemFacts& facts);
std::u16string ReadOsName();
// Empty when the processor does not offer the brand leaves.
std::u16string ReadProcessorBrand();
std::u16string ReadProcessorCounts();
std::u16string ReadMemorySize(MemoryKind kind);
// Wine's version, its host and a Steam Deck, when the program runs under
// Wine (or Proton); empty on Windows.
std::u16string ReadCompatibilityLayer();

// DirectX runtime and DirectInput. COM must be initialised on the thread.
void ProbeInputDevices(SystemFacts& facts);
// DxDiag starts the graphics runtime, so it is asked in a probe process
// (foundation/probe_process_win32.h), which runs below the normal priority
// while the calling thread does; HurryDxDiag raises it once the calling
// thread is raised. RunDxDiagProbe is that process's work.
void ProbeDxDiag(SystemFacts& facts);
void HurryDxDiag();
inline constexpr const wchar_t* DxDiagProbe = L"dxdiag";
void RunDxDiagProbe();

// Makes ReportText read `texts` on the calling thread (null: the current
// language's table again). Worker threads use a copy taken when they start,
// so that a language change on the user-interface thread never touches them.
void UseReportTextsOnThisThread(const TextTable* texts);

// The inventory pages' items.
TitleSet ReadApplicationTitles();
TitleSet ReadInstalledApplications();
ProcessMap ReadProcesses();
