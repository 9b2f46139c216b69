#include "gamepad/gamepad_devices_win32.h"

#include <oleauto.h>
#include <wbemidl.h>

#include <cstring>
#include <iterator>
#include <string_view>
#include <utility>

#include "foundation/com_ref_win32.h"
#include "foundation/system_library_win32.h"

namespace {

// ---- XInput, loaded at run time so that a missing DLL only leaves XInput
// controllers to DirectInput -------------------------------------------------

// Windows 8 and later ship xinput1_4; xinput1_3 comes only with the DirectX
// runtime add-on; xinput9_1_0 ships with every Windows since Vista but has
// no XInputEnable.
struct XInputCandidate {
    const wchar_t* name;
    bool hasEnable;
};
constexpr XInputCandidate XInputCandidates[] = {
    {L"xinput1_4.dll", true},
    {L"xinput1_3.dll", true},
    {L"xinput9_1_0.dll", false},
};

// ---- The data format: 32 buttons, 28 axes, one hat; 148 bytes of state -----

constexpr DWORD ButtonObjectType = 0x80FFFF0C; // optional, any instance, push or toggle button
constexpr DWORD AxisObjectType = 0x80FFFF03;   // optional, any instance, axis
constexpr DWORD HatObjectType = 0x80FFFF10;    // optional, any instance, POV
constexpr unsigned FormatObjectCount = ButtonCount + CalibratedAxisCount + 1;
static_assert(FormatObjectCount == 61);

const GUID* const AxisGroupGuids[AxisGroupCount] = {&GUID_XAxis,  &GUID_YAxis,  &GUID_ZAxis, &GUID_RxAxis,
                                                    &GUID_RyAxis, &GUID_RzAxis, &GUID_Slider};

struct PadDataFormat {
    DIOBJECTDATAFORMAT objects[FormatObjectCount];
    DIDATAFORMAT format;

    PadDataFormat()
    {
        unsigned n = 0;
        for (unsigned i = 0; i < ButtonCount; ++i)
            objects[n++] = {&GUID_Button, i, ButtonObjectType, 0};
        for (unsigned k = 0; k < CalibratedAxisCount; ++k)
            objects[n++] = {AxisGroupGuids[k / 4], static_cast<DWORD>(DirectInputAxisOffset + 4 * k),
                            AxisObjectType, static_cast<DWORD>(0x100 * (k % 4 + 1))};
        objects[n++] = {&GUID_POV, DirectInputHatOffset, HatObjectType, 0};
        format = {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_ABSAXIS,
                  DirectInputStateSize, FormatObjectCount,          objects};
    }
};

// ---- Telling XInput controllers apart through WMI --------------------------

struct Bstr {
    BSTR text;
    explicit Bstr(const wchar_t* value) : text(SysAllocString(value)) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(text); }
};

bool objectIsXInputProduct(IWbemClassObject* object, BSTR deviceIdName, std::uint32_t productData1)
{
    VARIANT value;
    VariantInit(&value);
    bool matches = false;
    if (SUCCEEDED(object->Get(deviceIdName, 0, &value, nullptr, nullptr)) && value.vt == VT_BSTR &&
        value.bstrVal) {
        const std::u16string_view deviceId(reinterpret_cast<const char16_t*>(value.bstrVal),
                                           SysStringLen(value.bstrVal));
        matches = deviceIdMatchesXInputProduct(deviceId, productData1);
    }
    VariantClear(&value);
    return matches;
}

} // namespace

XInputLibrary loadXInputLibrary(HMODULE (*load)(const wchar_t* name))
{
    for (const XInputCandidate& candidate : XInputCandidates) {
        const HMODULE module = load(candidate.name);
        if (!module)
            continue;
        const auto getState = LibraryEntry<XInputGetStateFunction>(module, "XInputGetState");
        if (!getState) { // not an XInput library after all
            FreeLibrary(module);
            continue;
        }
        const auto enable =
            candidate.hasEnable ? LibraryEntry<XInputEnableFunction>(module, "XInputEnable") : nullptr;
        return {candidate.name, enable, getState};
    }
    return {};
}

const XInputLibrary& xinputLibrary()
{
    static const XInputLibrary library = loadXInputLibrary(LoadSystemLibrary);
    return library;
}

bool readsThroughXInput(const XInputLibrary& library, const std::function<bool()>& markedAsXInput)
{
    return library.getState && markedAsXInput();
}

const DIDATAFORMAT& padDataFormat()
{
    static PadDataFormat padFormat;
    return padFormat.format;
}

bool isXInputController(const GUID& product)
{
    ComRef<IWbemLocator> locator;
    if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                locator.outVoid())))
        return false;
    const Bstr nameSpace(L"\\\\.\\root\\cimv2");
    const Bstr className(L"Win32_PNPEntity");
    const Bstr deviceIdName(L"DeviceID");
    if (!nameSpace.text || !className.text || !deviceIdName.text)
        return false;
    ComRef<IWbemServices> services;
    if (FAILED(locator->ConnectServer(nameSpace.text, nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                      services.out())))
        return false;
    if (FAILED(CoSetProxyBlanket(services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                                 RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE)))
        return false;
    ComRef<IEnumWbemClassObject> entities;
    if (FAILED(services->CreateInstanceEnum(className.text, 0, nullptr, entities.out())))
        return false;

    bool found = false;
    while (!found) {
        IWbemClassObject* objects[20] = {};
        ULONG returned = 0;
        if (FAILED(entities->Next(10000, 20, objects, &returned)) || returned == 0)
            break;
        for (ULONG i = 0; i < returned; ++i) {
            if (!found && objectIsXInputProduct(objects[i], deviceIdName.text, product.Data1))
                found = true;
            objects[i]->Release();
        }
    }
    return found;
}

namespace {

// ---- Which controllers are XInput ones, learnt once per device and process --

struct KnownController {
    GUID instance;
    bool isXInput;
};
// For the whole process: a controller's answer does not change while it is
// attached, and its instance identity is its own.
std::vector<KnownController> knownControllers;

bool knownAsXInput(const GUID& instance, bool& isXInput)
{
    for (const KnownController& controller : knownControllers)
        if (IsEqualGUID(controller.instance, instance)) {
            isXInput = controller.isXInput;
            return true;
        }
    return false;
}

// The device's own interface path names XInput devices, which spares the
// WMI query (a read of every plug-and-play entity); WMI is asked only when
// the device gives no path. A driver may fill the whole field without a
// terminator, so its last unit is one.
bool markedAsXInput(IDirectInputDevice8W* device, const DIDEVICEINSTANCEW& instance)
{
    bool isXInput = false;
    if (knownAsXInput(instance.guidInstance, isXInput))
        return isXInput;
    DIPROPGUIDANDPATH path{};
    path.diph.dwSize = sizeof path;
    path.diph.dwHeaderSize = sizeof path.diph;
    path.diph.dwHow = DIPH_DEVICE;
    path.wszPath[std::size(path.wszPath) - 1] = 0;
    if (SUCCEEDED(device->GetProperty(DIPROP_GUIDANDPATH, &path.diph)) && path.wszPath[0]) {
        isXInput = devicePathMatchesXInputProduct(reinterpret_cast<const char16_t*>(path.wszPath),
                                                  instance.guidProduct.Data1);
    } else {
        isXInput = isXInputController(instance.guidProduct);
    }
    knownControllers.push_back({instance.guidInstance, isXInput});
    return isXInput;
}

// ---- Enumeration ------------------------------------------------------------

struct EnumerationContext {
    HWND window;
    IDirectInput8W* directInput;
    std::vector<GamepadDevice>* devices;
    std::uint32_t xinputCounter;
};

BOOL CALLBACK calibrateAxisObject(LPCDIDEVICEOBJECTINSTANCEW object, LPVOID context)
{
    auto& record = *static_cast<GamepadDevice*>(context);
    DIPROPRANGE range{};
    range.diph.dwSize = sizeof range;
    range.diph.dwHeaderSize = sizeof range.diph;
    range.diph.dwObj = object->dwType;
    range.diph.dwHow = DIPH_BYID;
    if (FAILED(record.device->GetProperty(DIPROP_RANGE, &range.diph)))
        return DIENUM_CONTINUE;
    for (unsigned group = 0; group < AxisGroupCount; ++group) {
        if (!IsEqualGUID(object->guidType, *AxisGroupGuids[group]))
            continue;
        // Several objects of one group and aspect: the last one sets the entry.
        const int slot = axisSlot(static_cast<AxisGroup>(group), object->dwFlags);
        if (slot >= 0)
            record.calibration[slot] = calibrateAxis(range.lMin, range.lMax);
        break;
    }
    return DIENUM_CONTINUE;
}

void describeDevice(GamepadDevice& record, IDirectInputDevice8W* device)
{
    // Best effort: a controller that cannot describe itself keeps a zeroed
    // name and identity.
    record.instance.dwSize = sizeof record.instance;
    device->GetDeviceInfo(&record.instance);
    // The name is read as zero-terminated text; a driver may fill the whole
    // field without a terminator.
    auto& name = record.instance.tszInstanceName;
    name[std::size(name) - 1] = 0;
    record.objectInfo.dwSize = sizeof record.objectInfo;
    device->GetObjectInfo(&record.objectInfo, 0, DIPH_DEVICE);
    record.caps.dwSize = sizeof record.caps;
    device->GetCapabilities(&record.caps);
}

bool prepareDirectInputDevice(GamepadDevice& record, HWND window)
{
    IDirectInputDevice8W* device = record.device;
    return SUCCEEDED(device->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND)) &&
           SUCCEEDED(device->SetDataFormat(&padDataFormat())) &&
           SUCCEEDED(device->EnumObjects(calibrateAxisObject, &record, DIDFT_AXIS)) &&
           SUCCEEDED(device->Acquire());
}

BOOL CALLBACK addController(LPCDIDEVICEINSTANCEW instance, LPVOID parameter)
{
    auto& context = *static_cast<EnumerationContext*>(parameter);
    GamepadDevice record{};
    IDirectInputDevice8W* device = nullptr;
    if (FAILED(context.directInput->CreateDevice(instance->guidInstance, &device, nullptr)) || !device)
        return DIENUM_CONTINUE;
    const bool isXInput =
        readsThroughXInput(xinputLibrary(), [&] { return markedAsXInput(device, *instance); });
    if (isXInput) {
        describeDevice(record, device);
        device->Release();
        record.isXInput = 1;
        record.xinputUserIndex = context.xinputCounter++;
        context.devices->push_back(record);
        return DIENUM_CONTINUE;
    }
    record.device = device;
    if (!prepareDirectInputDevice(record, context.window)) {
        device->Release();
        return DIENUM_CONTINUE;
    }
    describeDevice(record, device);
    record.forceFeedback = (record.caps.dwFlags & DIDC_FORCEFEEDBACK) ? 1 : 0;
    record.needsPoll = (record.caps.dwFlags & (DIDC_POLLEDDEVICE | DIDC_POLLEDDATAFORMAT)) ? 1 : 0;
    context.devices->push_back(record);
    return DIENUM_CONTINUE;
}

void releaseRealControllers(GamepadManager& manager)
{
    for (GamepadDevice& record : manager.devices) {
        if (record.device) {
            record.device->Unacquire();
            record.device->Release();
            record.device = nullptr;
        }
    }
    manager.devices.clear();
    if (manager.directInput) {
        manager.directInput->Release();
        manager.directInput = nullptr;
    }
}

// A DirectInput object, initialised; null when it cannot be had.
IDirectInput8W* createDirectInput()
{
    IDirectInput8W* directInput = nullptr;
    if (FAILED(CoCreateInstance(CLSID_DirectInput8, nullptr, CLSCTX_ALL, IID_IDirectInput8W,
                                reinterpret_cast<void**>(&directInput))) ||
        !directInput)
        return nullptr;
    if (FAILED(directInput->Initialize(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION))) {
        directInput->Release();
        return nullptr;
    }
    return directInput;
}

void enumerateRealControllers(HWND window, GamepadManager& manager)
{
    if (const auto enable = xinputLibrary().enable)
        enable(TRUE);
    IDirectInput8W* directInput = createDirectInput();
    if (!directInput)
        return;
    manager.directInput = directInput;
    manager.devices.reserve(16);
    EnumerationContext context{window, directInput, &manager.devices, 0};
    if (FAILED(directInput->EnumDevices(DI8DEVCLASS_GAMECTRL, addController, &context, DIEDFL_ATTACHEDONLY)))
        releaseRealControllers(manager);
}

void readRealController(GamepadDevice& record)
{
    if (record.isXInput) {
        const auto getState = xinputLibrary().getState;
        if (!getState || getState(record.xinputUserIndex, &record.xinputState) != ERROR_SUCCESS) {
            clearReading(record.reading);
            return;
        }
        const XINPUT_GAMEPAD& pad = record.xinputState.Gamepad;
        const XInputPadState state{pad.wButtons, pad.bLeftTrigger, pad.bRightTrigger, pad.sThumbLX,
                                   pad.sThumbLY, pad.sThumbRX,     pad.sThumbRY};
        readXInputState(state, record.reading);
        return;
    }
    if (!record.device) {
        clearReading(record.reading);
        return;
    }
    if (record.needsPoll)
        record.device->Poll(); // a failure shows in the state read below
    DirectInputState state;
    if (FAILED(record.device->GetDeviceState(sizeof state, state))) {
        record.device->Acquire(); // the next poll shows whether it worked
        clearReading(record.reading);
        return;
    }
    readDirectInputState(state, record.calibration, record.reading);
}

const ControllerSource RealControllers = {enumerateRealControllers, readRealController,
                                          releaseRealControllers};

// ---- The current manager ----------------------------------------------------

const ControllerSource* nextSource = &RealControllers;
const ControllerSource* managerSource = nullptr; // null while there is no manager
GamepadManager manager{};
std::uint32_t currentDevice = 0;
bool rebuilding = false;

const GamepadDevice* deviceAt(std::uint32_t device)
{
    return managerSource && device < manager.devices.size() ? &manager.devices[device] : nullptr;
}

} // namespace

void setControllerSource(const ControllerSource* source)
{
    nextSource = source ? source : &RealControllers;
}

void createGamepadManager(HWND window)
{
    releaseGamepadManager();
    managerSource = nextSource;
    currentDevice = 0;
    // An enumeration can dispatch messages (the XInput test per controller
    // does): a rebuild they ask for waits until this list is complete.
    rebuilding = true;
    managerSource->enumerate(window, manager);
    rebuilding = false;
}

bool rebuildGamepadDevices(HWND window)
{
    if (!managerSource || rebuilding)
        return false;
    rebuilding = true;
    const ControllerSource* source = managerSource;
    GamepadManager fresh{};
    source->enumerate(window, fresh);
    rebuilding = false;
    if (managerSource != source) { // the manager was released meanwhile
        source->release(fresh);
        return false;
    }
    std::swap(manager, fresh);
    source->release(fresh);
    return true;
}

void releaseGamepadManager()
{
    if (!managerSource)
        return;
    managerSource->release(manager);
    manager.devices.clear();
    managerSource = nullptr;
}

std::uint32_t gamepadDeviceCount()
{
    return managerSource ? static_cast<std::uint32_t>(manager.devices.size()) : 0;
}

const wchar_t* gamepadDeviceName(std::uint32_t device)
{
    const GamepadDevice* record = deviceAt(device);
    return record ? record->instance.tszInstanceName : L"";
}

bool gamepadDeviceIdentity(std::uint32_t device, GUID& instance, GUID& product)
{
    const GamepadDevice* record = deviceAt(device);
    if (!record)
        return false;
    instance = record->instance.guidInstance;
    product = record->instance.guidProduct;
    return true;
}

std::uint32_t currentGamepadDevice()
{
    return currentDevice;
}
void setCurrentGamepadDevice(std::uint32_t device)
{
    currentDevice = device;
}

void pollGamepads()
{
    if (!managerSource)
        return;
    for (GamepadDevice& record : manager.devices)
        managerSource->read(record);
}

void pollGamepad(std::uint32_t device)
{
    if (managerSource && device < manager.devices.size())
        managerSource->read(manager.devices[device]);
}

float gamepadInputValue(std::uint32_t device, unsigned input)
{
    const GamepadDevice* record = deviceAt(device);
    return record ? inputValue(record->reading, input) : 0.0f;
}

const ControllerReading* gamepadReading(std::uint32_t device)
{
    const GamepadDevice* record = deviceAt(device);
    return record ? &record->reading : nullptr;
}

bool gamepadAllReleased(AxisHalfMask resting)
{
    const GamepadDevice* record = deviceAt(currentDevice);
    return !record || allInputsReleased(record->reading, resting);
}
