#include <d3d9.h>

#include <cstring>
#include <string>
#include <vector>

#include "foundation/code_page_win32.h"
#include "foundation/system_library_win32.h"
#include "resources/resource.h"
#include "settings/adapter_modes.h"
#include "settings/general_pages_win32.h"
#include "settings/page_controls_win32.h"
#include "shell/text_table_win32.h"

namespace {

GeneralSettings* working = nullptr;
HWND videoPage = nullptr;
// Filled once per opening of the window; selection changes only read them.
AdapterTables adapterTables;

constexpr ControlText Labels[] = {
    {IDC_VIDEO_DEVICE_LABEL, 155},
    {IDC_VIDEO_DISPLAY_MODE_LABEL, 156},
    {IDC_VIDEO_WINDOW_SIZE_LABEL, 159},
    {IDC_VIDEO_MULTISAMPLE_LABEL, 160},
    {IDC_VIDEO_BUFFER_SIZE_LABEL, 162},
    {IDC_VIDEO_SHADOW_DETAIL_LABEL, 167},
    {IDC_VIDEO_PROJECTION_SHADOW_DETAIL_LABEL, 173},
};

constexpr std::uint32_t WindowedText = 157;
constexpr std::uint32_t FullScreenText = 158;
constexpr std::uint32_t SampleText = 161;

// The lists whose lines are fixed texts: first text and number of lines.
struct FixedList {
    int control;
    std::uint32_t firstText;
    int count;
    std::int32_t GeneralSettings::*field;
};
constexpr FixedList FixedLists[] = {
    {IDC_VIDEO_BUFFER_SIZE, 163, 4, &GeneralSettings::bufferSize},
    {IDC_VIDEO_SHADOW_DETAIL, 168, 5, &GeneralSettings::shadowDetail},
    {IDC_VIDEO_PROJECTION_SHADOW_DETAIL, 174, 5, &GeneralSettings::projectionShadowDetail},
};

constexpr UINT Direct3DSdkVersion = 32;
using Direct3DCreate9Function = IDirect3D9*(WINAPI*)(UINT);

std::wstring adapterName(IDirect3D9* direct3D, UINT adapter)
{
    D3DADAPTER_IDENTIFIER9 identifier{};
    if (SUCCEEDED(direct3D->GetAdapterIdentifier(adapter, 0, &identifier))) {
        // The name is 8-bit text in the system's code page, not necessarily
        // terminated within its field.
        const std::u16string name = FromSystemCodePage(identifier.DeviceName, sizeof identifier.DeviceName);
        if (!name.empty())
            return std::wstring(name.begin(), name.end());
    }
    // Without a name the adapter is still listed at its position, by number.
    return std::to_wstring(adapter + 1);
}

void addDirect3DAdapter(HWND page, IDirect3D9* direct3D, UINT adapter)
{
    insertListLine(page, IDC_VIDEO_DEVICE, static_cast<int>(adapter), adapterName(direct3D, adapter).c_str());
    std::vector<DisplaySize> displayModes;
    const UINT modeCount = direct3D->GetAdapterModeCount(adapter, D3DFMT_X8R8G8B8);
    for (UINT i = 0; i < modeCount; ++i) {
        D3DDISPLAYMODE mode{};
        if (SUCCEEDED(direct3D->EnumAdapterModes(adapter, D3DFMT_X8R8G8B8, i, &mode)))
            displayModes.push_back({mode.Width, mode.Height});
    }
    std::uint16_t levelMask = 0;
    for (int level = 0; level < MultisampleLevelCount; ++level) {
        if (SUCCEEDED(direct3D->CheckDeviceMultiSampleType(
                adapter, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, TRUE,
                static_cast<D3DMULTISAMPLE_TYPE>(MultisampleTypes[level]), nullptr)))
            levelMask = static_cast<std::uint16_t>(levelMask | (1u << level));
    }
    addAdapter(adapterTables, static_cast<std::int32_t>(adapter), displayModes, levelMask);
}

// Direct3D 9 is loaded for this one pass and released again; without it the
// page simply lists no adapter.
void readDirect3DAdapters(HWND page)
{
    const HMODULE library = LoadSystemLibrary(L"d3d9.dll");
    if (!library)
        return;
    const auto create = LibraryEntry<Direct3DCreate9Function>(library, "Direct3DCreate9");
    if (IDirect3D9* direct3D = create ? create(Direct3DSdkVersion) : nullptr) {
        for (UINT adapter = 0; adapter < direct3D->GetAdapterCount(); ++adapter)
            addDirect3DAdapter(page, direct3D, adapter);
        direct3D->Release();
    }
    FreeLibrary(library);
}

void fillAdapterLists(HWND page, std::int32_t adapter)
{
    const AdapterLists lists = adapterLists(adapterTables, adapter, *working);
    selectListPosition(page, IDC_VIDEO_DEVICE, lists.adapter);

    clearList(page, IDC_VIDEO_WINDOW_SIZE);
    for (std::size_t i = 0; i < lists.sizes.size(); ++i)
        insertListLine(page, IDC_VIDEO_WINDOW_SIZE, static_cast<int>(i),
                       windowSizeText(lists.sizes[i]).c_str());
    selectListPosition(page, IDC_VIDEO_WINDOW_SIZE, lists.sizeSelection);

    clearList(page, IDC_VIDEO_MULTISAMPLE);
    for (std::size_t j = 0; j < lists.levels.size(); ++j)
        insertListLine(page, IDC_VIDEO_MULTISAMPLE, static_cast<int>(j),
                       multisampleText(lists.levels[j], GetText(SampleText)).c_str());
    selectListPosition(page, IDC_VIDEO_MULTISAMPLE, lists.levelSelection);

    clearList(page, IDC_VIDEO_DISPLAY_MODE);
    insertListLine(page, IDC_VIDEO_DISPLAY_MODE, 0, GetText(WindowedText));
    if (lists.fullScreenAllowed)
        insertListLine(page, IDC_VIDEO_DISPLAY_MODE, 1, GetText(FullScreenText));
    selectListPosition(page, IDC_VIDEO_DISPLAY_MODE, lists.displayModeSelection);
}

void onInitDialog(HWND page)
{
    videoPage = page;
    setControlTexts(page, Labels);
    readDirect3DAdapters(page);
    fillAdapterLists(page, working->adapter);
    for (const FixedList& list : FixedLists)
        fillFixedList(page, list.control, list.firstText, list.count, working->*list.field);
}

// The lists depend on one another, so every choice is written into the
// record at once and the dependent lists rebuilt from it. A new device is
// not collected first: its lists then select the stored size and level.
void onSelectionChange(HWND page, int control)
{
    if (control == IDC_VIDEO_DEVICE)
        working->adapter = listSelection(page, IDC_VIDEO_DEVICE);
    else
        collectVideoPage();
    fillAdapterLists(page, working->adapter);
}

} // namespace

void attachVideoPage(GeneralSettings& record)
{
    working = &record;
    videoPage = nullptr;
    adapterTables = {};
}

INT_PTR CALLBACK videoPageProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: onInitDialog(page); return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) == CBN_SELCHANGE)
            onSelectionChange(page, LOWORD(wParam));
        return TRUE;
    default: return FALSE;
    }
}

void collectVideoPage()
{
    if (!videoPage)
        return;
    const VideoSelections selections{
        listSelection(videoPage, IDC_VIDEO_DEVICE),
        listSelection(videoPage, IDC_VIDEO_DISPLAY_MODE),
        listSelection(videoPage, IDC_VIDEO_WINDOW_SIZE),
        listSelection(videoPage, IDC_VIDEO_MULTISAMPLE),
        listSelection(videoPage, IDC_VIDEO_BUFFER_SIZE),
        listSelection(videoPage, IDC_VIDEO_SHADOW_DETAIL),
        listSelection(videoPage, IDC_VIDEO_PROJECTION_SHADOW_DETAIL),
    };
    collectVideoSelections(adapterTables, selections, *working);
}
