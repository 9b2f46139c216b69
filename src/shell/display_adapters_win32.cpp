#include "shell/display_adapters_win32.h"

#include <d3d9.h>
#include <cstdlib>
#include <cwchar>
#include <iterator>
#include <dxgi.h>

#include "foundation/code_page_win32.h"
#include "foundation/exclusive_lock_win32.h"
#include "foundation/probe_process_win32.h"
#include "foundation/system_library_win32.h"
#include "shell/display_adapter_record.h"

namespace {

const D3DFORMAT VertexTextureFormats[] = {D3DFMT_A8R8G8B8, D3DFMT_A32B32G32R32F, D3DFMT_A16B16G16R16F,
                                          D3DFMT_R32F, D3DFMT_R16F};
// Multisample types 0 and 2 to 16; the non-maskable type 1 is never asked.
constexpr std::uint32_t HighestMultisampleType = 16;

// One preparation: its thread, what it found, and the two stages' events
// (manual-reset, set once). The facts are written only by the thread, each
// stage before its event is set, and only read after it.
struct Preparation {
    HANDLE thread = nullptr;
    HANDLE direct3DReady = nullptr;
    HANDLE allReady = nullptr;
    HANDLE hold = nullptr;
    DisplayAdapterFacts facts;
    // The probe process while the thread reads from it (under `lock`).
    ProbeProcess* probe = nullptr;
};

struct Listener {
    HWND window;
    UINT message;
};

// Guards `current`, `nextHold` and `listeners`. Never destroyed: the thread
// may still run while the process's static objects go.
SRWLOCK lock = SRWLOCK_INIT;
Preparation* current = nullptr;
HANDLE nextHold = nullptr;
std::vector<Listener>& listeners = *new std::vector<Listener>;
bool exiting = false;
bool exitWaitRegistered = false;

// A process that leaves normally ends a probe still at work and waits for
// the thread to see it, so that the thread is never cut off while it holds
// a lock the process's last steps need (in the middle of creating the probe,
// say). The program itself ends its process first when the thread still runs.
constexpr DWORD ExitWaitMilliseconds = 10000;

void waitAtExit()
{
    {
        const ExclusiveLock guard(lock);
        exiting = true;
        if (current && current->probe)
            current->probe->end();
    }
    WaitForDisplayAdapterPreparationEnd(ExitWaitMilliseconds);
}

bool isSet(HANDLE event)
{
    return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

bool supportsVertexTextures(IDirect3D9* direct3D, UINT adapter)
{
    D3DDISPLAYMODE mode{};
    direct3D->GetAdapterDisplayMode(adapter,
                                    &mode); // a failure leaves D3DFMT_UNKNOWN, which no check accepts
    bool supported = false;
    for (D3DFORMAT format : VertexTextureFormats) {
        if (SUCCEEDED(direct3D->CheckDeviceFormat(adapter, D3DDEVTYPE_HAL, mode.Format,
                                                  D3DUSAGE_QUERY_VERTEXTEXTURE, D3DRTYPE_TEXTURE, format)))
            supported = true;
    }
    return supported;
}

Direct3DAdapterFacts readAdapter(IDirect3D9* direct3D, UINT adapter)
{
    Direct3DAdapterFacts facts;
    D3DADAPTER_IDENTIFIER9 identifier{};
    if (SUCCEEDED(direct3D->GetAdapterIdentifier(adapter, 0, &identifier))) {
        facts.identified = true;
        // 8-bit text in the system's code page, not necessarily terminated
        // within its field.
        facts.name = FromSystemCodePage(identifier.DeviceName, sizeof identifier.DeviceName);
    }
    const UINT modeCount = direct3D->GetAdapterModeCount(adapter, D3DFMT_X8R8G8B8);
    for (UINT i = 0; i < modeCount; ++i) {
        D3DDISPLAYMODE mode{};
        if (SUCCEEDED(direct3D->EnumAdapterModes(adapter, D3DFMT_X8R8G8B8, i, &mode)))
            facts.displayModes.push_back({mode.Width, mode.Height});
    }
    for (std::uint32_t type = 0; type <= HighestMultisampleType; ++type) {
        if (type != 1 &&
            SUCCEEDED(direct3D->CheckDeviceMultiSampleType(adapter, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, TRUE,
                                                           static_cast<D3DMULTISAMPLE_TYPE>(type), nullptr)))
            facts.multisampleTypes |= 1u << type;
    }
    D3DCAPS9 caps{};
    facts.capsRead = SUCCEEDED(direct3D->GetDeviceCaps(adapter, D3DDEVTYPE_HAL, &caps));
    if (facts.capsRead) {
        facts.vertexShaderVersion = caps.VertexShaderVersion;
        facts.pixelShaderVersion = caps.PixelShaderVersion;
    }
    facts.vertexTextures = supportsVertexTextures(direct3D, adapter);
    return facts;
}

// Without the library, its entry or the object, no adapter is known.
std::vector<Direct3DAdapterFacts> readDirect3D()
{
    std::vector<Direct3DAdapterFacts> adapters;
    using CreateFunction = IDirect3D9*(WINAPI*)(UINT);
    const auto create = LibraryEntry<CreateFunction>(LoadSystemLibrary(L"d3d9.dll"), "Direct3DCreate9");
    IDirect3D9* direct3D = create ? create(D3D_SDK_VERSION) : nullptr;
    if (!direct3D)
        return adapters;
    // The count is asked again after each adapter, as it may change.
    for (UINT adapter = 0; adapter < direct3D->GetAdapterCount(); ++adapter)
        adapters.push_back(readAdapter(direct3D, adapter));
    direct3D->Release();
    return adapters;
}

std::vector<DxgiOutputFacts> readDxgi()
{
    std::vector<DxgiOutputFacts> outputs;
    using CreateFunction = HRESULT(WINAPI*)(REFIID, void**);
    const auto create = LibraryEntry<CreateFunction>(LoadSystemLibrary(L"dxgi.dll"), "CreateDXGIFactory");
    IDXGIFactory* factory = nullptr;
    if (!create || FAILED(create(IID_IDXGIFactory, reinterpret_cast<void**>(&factory))))
        return outputs;
    IDXGIAdapter* adapter = nullptr;
    for (UINT a = 0; SUCCEEDED(factory->EnumAdapters(a, &adapter)); ++a) {
        IDXGIOutput* output = nullptr;
        for (UINT o = 0; SUCCEEDED(adapter->EnumOutputs(o, &output)); ++o) {
            DXGI_OUTPUT_DESC outputDescription{};
            if (SUCCEEDED(output->GetDesc(&outputDescription))) {
                DxgiOutputFacts facts;
                // The name field need not end in a zero: read at most its size.
                const wchar_t* name = outputDescription.DeviceName;
                facts.deviceName.assign(reinterpret_cast<const char16_t*>(name),
                                        wcsnlen(name, std::size(outputDescription.DeviceName)));
                DXGI_ADAPTER_DESC adapterDescription{};
                facts.adapterDescribed = SUCCEEDED(adapter->GetDesc(&adapterDescription));
                facts.dedicatedVideoMemory = adapterDescription.DedicatedVideoMemory;
                facts.sharedSystemMemory = adapterDescription.SharedSystemMemory;
                outputs.push_back(std::move(facts));
            }
            output->Release();
        }
        adapter->Release();
    }
    factory->Release();
    return outputs;
}

void notifyListeners()
{
    const ExclusiveLock guard(lock);
    for (const Listener& listener : listeners)
        PostMessageW(listener.window, listener.message, 0, 0);
    listeners.clear();
}

// The probe process sends the Direct3D 9 adapters first, then the DXGI
// outputs. A record that does not come, or cannot be read, leaves its stage
// empty, as on a machine without that runtime.
DWORD WINAPI prepare(void* parameter)
{
    Preparation& preparation = *static_cast<Preparation*>(parameter);
    if (preparation.hold)
        WaitForSingleObject(preparation.hold, INFINITE);
    auto* probe = new ProbeProcess(DisplayAdapterProbe);
    {
        const ExclusiveLock guard(lock);
        preparation.probe = probe;
        if (exiting)
            probe->end();
    }
    if (const auto record = probe->nextRecord()) {
        if (auto adapters = DecodeDirect3DAdapters(*record))
            preparation.facts.direct3D = std::move(*adapters);
    }
    SetEvent(preparation.direct3DReady);
    notifyListeners();
    if (const auto record = probe->nextRecord()) {
        if (auto outputs = DecodeDxgiOutputs(*record))
            preparation.facts.dxgiOutputs = std::move(*outputs);
    }
    {
        const ExclusiveLock guard(lock);
        preparation.probe = nullptr;
    }
    delete probe; // ends it, should it still be on its way out
    SetEvent(preparation.allReady);
    return 0;
}

void closeHandle(HANDLE handle)
{
    if (handle)
        CloseHandle(handle);
}

void destroy(Preparation* preparation)
{
    closeHandle(preparation->thread);
    closeHandle(preparation->direct3DReady);
    closeHandle(preparation->allReady);
    delete preparation;
}

// The preparation, started when there is none yet. Null only when no thread
// could be started; the callers then see no adapter.
Preparation* started()
{
    const ExclusiveLock guard(lock);
    if (current)
        return current;
    auto* preparation = new Preparation;
    preparation->direct3DReady = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    preparation->allReady = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    preparation->hold = nextHold;
    if (preparation->direct3DReady && preparation->allReady)
        preparation->thread = CreateThread(nullptr, 0, prepare, preparation, 0, nullptr);
    if (!preparation->thread) {
        destroy(preparation);
        return nullptr;
    }
    current = preparation;
    if (!exitWaitRegistered)
        exitWaitRegistered = std::atexit(waitAtExit) == 0;
    return current;
}

const std::vector<Direct3DAdapterFacts> NoAdapters;
const DisplayAdapterFacts NoFacts;

} // namespace

void StartPreparingDisplayAdapters()
{
    started();
}

const std::vector<Direct3DAdapterFacts>* PreparedDirect3DAdapters()
{
    const Preparation* preparation = started();
    if (!preparation)
        return &NoAdapters;
    return isSet(preparation->direct3DReady) ? &preparation->facts.direct3D : nullptr;
}

void NotifyWhenDirect3DPrepared(HWND window, UINT message)
{
    const Preparation* preparation = started();
    const ExclusiveLock guard(lock);
    // Checked under the lock: the thread sets the event before it takes the
    // lock to notify, so a listener is either notified there or here.
    if (!preparation || isSet(preparation->direct3DReady))
        PostMessageW(window, message, 0, 0);
    else
        listeners.push_back({window, message});
}

void StopNotifying(HWND window)
{
    const ExclusiveLock guard(lock);
    std::erase_if(listeners, [window](const Listener& listener) { return listener.window == window; });
}

const DisplayAdapterFacts* WaitForDisplayAdapters(DWORD milliseconds)
{
    const Preparation* preparation = started();
    if (!preparation)
        return &NoFacts;
    return WaitForSingleObject(preparation->allReady, milliseconds) == WAIT_OBJECT_0 ? &preparation->facts
                                                                                     : nullptr;
}

bool WaitForDisplayAdapterPreparationEnd(DWORD milliseconds)
{
    HANDLE thread = nullptr;
    {
        const ExclusiveLock guard(lock);
        if (current)
            thread = current->thread;
    }
    return !thread || WaitForSingleObject(thread, milliseconds) == WAIT_OBJECT_0;
}

void SetDisplayAdapterPreparationHold(HANDLE hold)
{
    const ExclusiveLock guard(lock);
    nextHold = hold;
}

void DiscardPreparedDisplayAdapters()
{
    Preparation* preparation = nullptr;
    {
        const ExclusiveLock guard(lock);
        preparation = current;
        current = nullptr;
    }
    if (!preparation)
        return;
    // What it found is kept, never freed: readers hold it without a count
    // (a worker of a report, a video page), as the facts never change.
    WaitForSingleObject(preparation->thread, INFINITE);
}

void RunDisplayAdapterProbe()
{
    if (WriteProbeRecord(EncodeDirect3DAdapters(readDirect3D())))
        WriteProbeRecord(EncodeDxgiOutputs(readDxgi()));
}
