#include <string>

#include "resources/resource.h"
#include "settings/general_pages_win32.h"
#include "settings/page_controls_win32.h"

namespace {

GeneralSettings* working = nullptr;
HWND networkPage = nullptr;

constexpr ControlText Labels[] = {{IDC_NETWORK_UPNP_LABEL, 113}, {IDC_NETWORK_PORT_LABEL, 117}};
// "Automatic", "Use", "Do not use".
constexpr std::uint32_t FirstUpnpText = 114;
constexpr int UpnpChoiceCount = 3;
// The field is read up to this many characters.
constexpr int PortTextCapacity = 128;

void onInitDialog(HWND page)
{
    networkPage = page;
    setControlTexts(page, Labels);
    fillFixedList(page, IDC_NETWORK_UPNP, FirstUpnpText, UpnpChoiceCount, working->upnpMode);
    SetDlgItemTextW(page, IDC_NETWORK_PORT, std::to_wstring(working->port).c_str());
}

void attachNetworkPage(GeneralSettings& record)
{
    working = &record;
    networkPage = nullptr;
}

INT_PTR CALLBACK networkPageProc(HWND page, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: onInitDialog(page); return TRUE;
    case WM_COMMAND: return TRUE;
    default: return FALSE;
    }
}

void collectNetworkPage()
{
    if (!networkPage)
        return;
    working->upnpMode = listSelection(networkPage, IDC_NETWORK_UPNP);
    wchar_t text[PortTextCapacity] = {};
    GetDlgItemTextW(networkPage, IDC_NETWORK_PORT, text, PortTextCapacity);
    // A negative value keeps its two's complement bits, which the window's
    // unsigned range test then refuses.
    working->port = static_cast<std::uint32_t>(portFromText(text));
}

} // namespace

const PageFunctions NetworkPage = {attachNetworkPage, networkPageProc, collectNetworkPage};
