#include "sysinfo/probes_win32.h"

#include <oleauto.h>
#include <d3d9.h>
#include <dinput.h>
#include <dxgi.h>
#include <initguid.h>
#include <dxdiag.h>

#include "foundation/system_library_win32.h"
#include "sysinfo/fact_text.h"

namespace {

// Holds one COM reference and releases it when the holder goes.
template <typename Interface> class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef()
    {
        if (pointer_)
            pointer_->Release();
    }
    Interface* operator->() const { return pointer_; }
    Interface* get() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    Interface** out() { return &pointer_; }
    void** outVoid() { return reinterpret_cast<void**>(&pointer_); }

private:
    Interface* pointer_ = nullptr;
};

// A library loaded for the length of one probe.
class Library {
public:
    explicit Library(const wchar_t* name) : module_(LoadSystemLibrary(name)) {}
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    ~Library()
    {
        if (module_)
            FreeLibrary(module_);
    }
    template <typename Function> Function entry(const char* name) const
    {
        return LibraryEntry<Function>(module_, name);
    }

private:
    HMODULE module_;
};

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

// A non-empty string property replaces the target (up to its first zero);
// anything else leaves it as it was.
void readProperty(IDxDiagContainer* container, const wchar_t* name, std::u16string& target)
{
    VARIANT value;
    VariantInit(&value);
    if (SUCCEEDED(container->GetProp(name, &value)) && value.vt == VT_BSTR &&
        SysStringLen(value.bstrVal) != 0)
        target = fromWide(value.bstrVal);
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

// ---- Direct3D 9 -----------------------------------------------------------------

const D3DFORMAT VertexTextureFormats[] = {D3DFMT_A8R8G8B8, D3DFMT_A32B32G32R32F, D3DFMT_A16B16G16R16F,
                                          D3DFMT_R32F, D3DFMT_R16F};

bool supportsVertexTextures(IDirect3D9* d3d, UINT adapter)
{
    D3DDISPLAYMODE mode{};
    d3d->GetAdapterDisplayMode(adapter, &mode); // a failure leaves D3DFMT_UNKNOWN, which no check accepts
    bool supported = false;
    for (D3DFORMAT format : VertexTextureFormats) {
        if (SUCCEEDED(d3d->CheckDeviceFormat(adapter, D3DDEVTYPE_HAL, mode.Format,
                                             D3DUSAGE_QUERY_VERTEXTEXTURE, D3DRTYPE_TEXTURE, format)))
            supported = true;
    }
    return supported;
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
    record.name = fromWide(info.tszInstanceName);
    DIDEVCAPS caps{};
    caps.dwSize = sizeof caps;
    if (SUCCEEDED(device->GetCapabilities(&caps)))
        record.notes = FormatInputNotes(caps.dwAxes, caps.dwButtons, caps.dwPOVs, ReportText);
    enumeration.devices->push_back(std::move(record));
    return DIENUM_CONTINUE;
}

} // namespace

void ProbeDxDiag(SystemFacts& facts)
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
    readDevices(displays.get(), NewDisplayDeviceRecord(ReportText), DisplayFields, facts.displayDevices);

    ComRef<IDxDiagContainer> directSound;
    ComRef<IDxDiagContainer> sounds;
    if (FAILED(root->GetChildContainer(L"DxDiag_DirectSound", directSound.out())) ||
        FAILED(directSound->GetChildContainer(L"DxDiag_SoundDevices", sounds.out())))
        return;
    readDevices(sounds.get(), SoundDeviceRecord{}, SoundFields, facts.soundDevices);
}

void ProbeDirect3D9(SystemFacts& facts)
{
    // Only devices DxDiag listed gain fields: without any, creating the
    // Direct3D object would change nothing.
    if (facts.displayDevices.empty())
        return;
    const Library library(L"d3d9.dll");
    using CreateFunction = IDirect3D9*(WINAPI*)(UINT);
    const auto create = library.entry<CreateFunction>("Direct3DCreate9");
    if (!create)
        return;
    IDirect3D9* d3d = create(D3D_SDK_VERSION);
    if (!d3d)
        return;
    for (UINT adapter = 0; adapter < d3d->GetAdapterCount(); ++adapter) {
        D3DADAPTER_IDENTIFIER9 identifier{};
        D3DCAPS9 caps{};
        if (FAILED(d3d->GetAdapterIdentifier(adapter, 0, &identifier)))
            continue;
        const bool capsRead = SUCCEEDED(d3d->GetDeviceCaps(adapter, D3DDEVTYPE_HAL, &caps));
        const std::u16string name = FromSystemCodePage(identifier.DeviceName, sizeof identifier.DeviceName);
        for (DisplayDeviceRecord& display : facts.displayDevices) {
            if (display.deviceName != name)
                continue;
            if (capsRead) {
                display.vertexShader = FormatShaderVersion(caps.VertexShaderVersion);
                display.pixelShader = FormatShaderVersion(caps.PixelShaderVersion);
            }
            display.vertexTexture = ReportText(supportsVertexTextures(d3d, adapter) ? 228 : 229);
        }
    }
    d3d->Release();
}

void ProbeDxgi(SystemFacts& facts)
{
    if (facts.displayDevices.empty())
        return;
    const Library library(L"dxgi.dll");
    using CreateFunction = HRESULT(WINAPI*)(REFIID, void**);
    const auto create = library.entry<CreateFunction>("CreateDXGIFactory");
    ComRef<IDXGIFactory> factory;
    if (!create || FAILED(create(IID_IDXGIFactory, factory.outVoid())))
        return;
    for (UINT a = 0;; ++a) {
        ComRef<IDXGIAdapter> adapter;
        if (FAILED(factory->EnumAdapters(a, adapter.out())))
            break;
        for (UINT o = 0;; ++o) {
            ComRef<IDXGIOutput> output;
            if (FAILED(adapter->EnumOutputs(o, output.out())))
                break;
            DXGI_OUTPUT_DESC outputDescription{};
            if (FAILED(output->GetDesc(&outputDescription)))
                continue;
            const std::u16string name = fromWide(outputDescription.DeviceName);
            for (DisplayDeviceRecord& display : facts.displayDevices) {
                DXGI_ADAPTER_DESC adapterDescription{};
                if (display.deviceName != name || FAILED(adapter->GetDesc(&adapterDescription)))
                    continue;
                display.videoMemory = FormatVideoMemory(adapterDescription.DedicatedVideoMemory);
                display.sharedVideoMemory = FormatVideoMemory(adapterDescription.SharedSystemMemory);
            }
        }
    }
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
