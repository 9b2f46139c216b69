#include "sysinfo/probes_win32.h"

#include <oleauto.h>
#include <dinput.h>
#include <initguid.h>
#include <dxdiag.h>

#include "foundation/com_ref_win32.h"
#include "foundation/exclusive_lock_win32.h"
#include "foundation/probe_process_win32.h"
#include "sysinfo/dxdiag_record.h"
#include "sysinfo/fact_text.h"

namespace {

// ---- DxDiag -------------------------------------------------------------------

template <typename Record> struct DxDiagField {
    const wchar_t* property;
    std::u16string Record::*field;
};

const DxDiagField<SystemFacts> SystemFields[] = {
    {L"szOSExLongLocalized", &SystemFacts::operatingSystem},
    {L"szProcessorEnglish", &SystemFacts::processor},
    {L"szBIOSEnglish", &SystemFacts::bios},
    {L"szLanguagesLocalized", &SystemFacts::language},
    {L"szDirectXVersionLongEnglish", &SystemFacts::directXVersion},
};

const DxDiagField<DisplayDeviceRecord> DisplayFields[] = {
    {L"szDeviceName", &DisplayDeviceRecord::deviceName},
    {L"szDescription", &DisplayDeviceRecord::description},
    {L"szChipType", &DisplayDeviceRecord::chipType},
    {L"szManufacturer", &DisplayDeviceRecord::manufacturer},
    {L"szDACType", &DisplayDeviceRecord::dacType},
    {L"szDisplayMemoryEnglish", &DisplayDeviceRecord::videoMemory},
    {L"szDisplayModeEnglish", &DisplayDeviceRecord::displayMode},
    {L"szDriverName", &DisplayDeviceRecord::driverName},
    {L"szDriverVersion", &DisplayDeviceRecord::driverVersion},
    {L"szDriverDateLocalized", &DisplayDeviceRecord::driverDate},
    {L"szDriverLanguageLocalized", &DisplayDeviceRecord::driverLanguage},
};

const DxDiagField<SoundDeviceRecord> SoundFields[] = {
    {L"szDescription", &SoundDeviceRecord::description},
    {L"szGuidDeviceID", &SoundDeviceRecord::deviceId},
    {L"szDriverName", &SoundDeviceRecord::driverName},
    {L"szDriverVersion", &SoundDeviceRecord::driverVersion},
    {L"szDriverLanguageLocalized", &SoundDeviceRecord::driverLanguage},
    {L"szDriverDateLocalized", &SoundDeviceRecord::driverDate},
};

// A non-empty string property replaces the target (up to its first zero),
// cleaned of the quoting Wine's DxDiag puts around some values; anything
// else leaves it as it was.
void readProperty(IDxDiagContainer* container, const wchar_t* name, std::u16string& target)
{
    VARIANT value;
    VariantInit(&value);
    if (SUCCEEDED(container->GetProp(name, &value)) && value.vt == VT_BSTR &&
        SysStringLen(value.bstrVal) != 0) {
        std::u16string text = CleanDxDiagValue(fromWide(value.bstrVal));
        if (!text.empty())
            target = std::move(text);
    }
    VariantClear(&value);
}

template <typename Record, std::size_t N>
void readProperties(IDxDiagContainer* container, Record& record, const DxDiagField<Record> (&fields)[N])
{
    for (const DxDiagField<Record>& field : fields)
        readProperty(container, field.property, record.*field.field);
}

// One record per named child; a child that cannot be opened still gives its
// record as started.
template <typename Record, std::size_t N>
void readDevices(IDxDiagContainer* devices, const Record& start, const DxDiagField<Record> (&fields)[N],
                 std::vector<Record>& list)
{
    DWORD count = 0;
    if (FAILED(devices->GetNumberOfChildContainers(&count)))
        count = 0;
    for (DWORD i = 0; i < count; ++i) {
        wchar_t name[100] = {};
        if (FAILED(devices->EnumChildContainerNames(i, name, 100)))
            continue;
        Record record = start;
        ComRef<IDxDiagContainer> child;
        if (SUCCEEDED(devices->GetChildContainer(name, child.out())))
            readProperties(child.get(), record, fields);
        list.push_back(std::move(record));
    }
}

// ---- DirectInput ------------------------------------------------------------------

struct InputEnumeration {
    IDirectInput8W* input;
    std::vector<InputDeviceRecord>* devices;
};

BOOL CALLBACK addInputDevice(const DIDEVICEINSTANCEW* instance, void* parameter)
{
    const auto& enumeration = *static_cast<InputEnumeration*>(parameter);
    ComRef<IDirectInputDevice8W> device;
    if (FAILED(enumeration.input->CreateDevice(instance->guidInstance, device.out(), nullptr)))
        return DIENUM_CONTINUE;
    DIDEVICEINSTANCEW info{};
    info.dwSize = sizeof info;
    if (FAILED(device->GetDeviceInfo(&info)))
        info = *instance;
    const GUID& id = info.guidInstance;
    InputDeviceRecord record;
    record.instanceId = FormatGuid({static_cast<std::uint32_t>(id.Data1),
                                    id.Data2,
                                    id.Data3,
                                    {id.Data4[0], id.Data4[1], id.Data4[2], id.Data4[3], id.Data4[4],
                                     id.Data4[5], id.Data4[6], id.Data4[7]}});
    record.name = fromWideField(info.tszInstanceName);
    DIDEVCAPS caps{};
    caps.dwSize = sizeof caps;
    if (SUCCEEDED(device->GetCapabilities(&caps)))
        record.notes = FormatInputNotes(caps.dwAxes, caps.dwButtons, caps.dwPOVs, ReportText);
    enumeration.devices->push_back(std::move(record));
    return DIENUM_CONTINUE;
}

// The probe process of the DxDiag running now, if any (one runs at a time).
SRWLOCK runningDxDiagLock = SRWLOCK_INIT;
const ProbeProcess* runningDxDiag = nullptr;

// DxDiag asked in this process; each display device starts as `newDisplay`.
void probeDxDiagHere(SystemFacts& facts, const DisplayDeviceRecord& newDisplay)
{
    ComRef<IDxDiagProvider> provider;
    if (FAILED(CoCreateInstance(CLSID_DxDiagProvider, nullptr, CLSCTX_INPROC_SERVER, IID_IDxDiagProvider,
                                provider.outVoid())))
        return;
    DXDIAG_INIT_PARAMS parameters{};
    parameters.dwSize = sizeof parameters;
    parameters.dwDxDiagHeaderVersion = DXDIAG_DX9_SDK_VERSION;
    parameters.bAllowWHQLChecks = FALSE;
    parameters.pReserved = nullptr;
    ComRef<IDxDiagContainer> root;
    if (FAILED(provider->Initialize(&parameters)) || FAILED(provider->GetRootContainer(root.out())))
        return;

    ComRef<IDxDiagContainer> system;
    if (SUCCEEDED(root->GetChildContainer(L"DxDiag_SystemInfo", system.out())))
        readProperties(system.get(), facts, SystemFields);

    ComRef<IDxDiagContainer> displays;
    if (FAILED(root->GetChildContainer(L"DxDiag_DisplayDevices", displays.out())))
        return;
    readDevices(displays.get(), newDisplay, DisplayFields, facts.displayDevices);

    ComRef<IDxDiagContainer> directSound;
    ComRef<IDxDiagContainer> sounds;
    if (FAILED(root->GetChildContainer(L"DxDiag_DirectSound", directSound.out())) ||
        FAILED(directSound->GetChildContainer(L"DxDiag_SoundDevices", sounds.out())))
        return;
    readDevices(sounds.get(), SoundDeviceRecord{}, SoundFields, facts.soundDevices);
}

} // namespace

void ProbeDxDiag(SystemFacts& facts)
{
    ProbeProcess probe(DxDiagProbe);
    {
        // Below the normal priority while the calling thread is. A thread
        // raised after this is seen by HurryDxDiag.
        const ExclusiveLock guard(runningDxDiagLock);
        runningDxDiag = &probe;
        probe.runBelowNormal(GetThreadPriority(GetCurrentThread()) < THREAD_PRIORITY_NORMAL);
    }
    const auto record = probe.nextRecord();
    {
        const ExclusiveLock guard(runningDxDiagLock);
        runningDxDiag = nullptr;
    }
    // A record that cannot be read leaves the facts as without DxDiag.
    if (record)
        DecodeDxDiagFacts(*record, NewDisplayDeviceRecord(ReportText), facts);
}

void HurryDxDiag()
{
    const ExclusiveLock guard(runningDxDiagLock);
    if (runningDxDiag)
        runningDxDiag->runBelowNormal(false);
}

void RunDxDiagProbe()
{
    const HRESULT com = CoInitialize(nullptr);
    SystemFacts facts;
    probeDxDiagHere(facts, DisplayDeviceRecord{});
    WriteProbeRecord(EncodeDxDiagFacts(facts)); // the tool reads no record when it has gone
    if (SUCCEEDED(com))
        CoUninitialize();
}

void ProbeInputDevices(SystemFacts& facts)
{
    ComRef<IDirectInput8W> input;
    if (FAILED(
            CoCreateInstance(CLSID_DirectInput8, nullptr, CLSCTX_ALL, IID_IDirectInput8W, input.outVoid())) ||
        FAILED(input->Initialize(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION)))
        return;
    InputEnumeration enumeration{input.get(), &facts.inputDevices};
    // Devices found before a failure are kept; the result adds nothing.
    input->EnumDevices(DI8DEVCLASS_ALL, addInputDevice, &enumeration, DIEDFL_ATTACHEDONLY);
}
