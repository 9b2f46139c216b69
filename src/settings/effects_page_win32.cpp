#include "resources/resource.h"
#include "settings/general_pages_win32.h"
#include "settings/page_controls_win32.h"

namespace {

constexpr SwitchControl Switches[] = {
    {IDC_EFFECTS_AMBIENT_OCCLUSION, 241, &GeneralSettings::ambientOcclusion},
    {IDC_EFFECTS_DEPTH_OF_FIELD, 242, &GeneralSettings::depthOfField},
};
SwitchPage effectsPage{Switches};

} // namespace

void attachEffectsPage(GeneralSettings& working)
{
    effectsPage.attach(working);
}

INT_PTR CALLBACK effectsPageProc(HWND page, UINT message, WPARAM, LPARAM)
{
    return effectsPage.handle(page, message);
}

void collectEffectsPage()
{
    effectsPage.collect();
}
