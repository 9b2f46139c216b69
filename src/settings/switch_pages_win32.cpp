// The pages made only of switches: each is its table of check boxes over the
// working record, run by one procedure.
#include "resources/resource.h"
#include "settings/general_pages_win32.h"
#include "settings/page_controls_win32.h"

namespace {

constexpr SwitchControl EffectsSwitches[] = {
    {IDC_EFFECTS_AMBIENT_OCCLUSION, 241, &GeneralSettings::ambientOcclusion},
    {IDC_EFFECTS_DEPTH_OF_FIELD, 242, &GeneralSettings::depthOfField},
};
constexpr SwitchControl SoundSwitches[] = {
    {IDC_SOUND_DISABLE_DEVICE, 245, &GeneralSettings::soundDisabled},
};
SwitchPage effects{EffectsSwitches};
SwitchPage sound{SoundSwitches};

template <SwitchPage& page> void attach(GeneralSettings& working)
{
    page.attach(working);
}

template <SwitchPage& page> INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM, LPARAM)
{
    return page.handle(window, message);
}

template <SwitchPage& page> void collect()
{
    page.collect();
}

} // namespace

const PageFunctions EffectsPage = {attach<effects>, procedure<effects>, collect<effects>};
const PageFunctions SoundPage = {attach<sound>, procedure<sound>, collect<sound>};
