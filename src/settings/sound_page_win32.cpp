#include "resources/resource.h"
#include "settings/general_pages_win32.h"
#include "settings/page_controls_win32.h"

namespace {

constexpr SwitchControl Switches[] = {
    {IDC_SOUND_DISABLE_DEVICE, 245, &GeneralSettings::soundDisabled},
};
SwitchPage soundPage{Switches};

} // namespace

void attachSoundPage(GeneralSettings& working)
{
    soundPage.attach(working);
}

INT_PTR CALLBACK soundPageProc(HWND page, UINT message, WPARAM, LPARAM)
{
    return soundPage.handle(page, message);
}

void collectSoundPage()
{
    soundPage.collect();
}
