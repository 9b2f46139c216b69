// The system report's probes read real facts from the machine.
#include <windows.h>

#include <gtest/gtest.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "foundation/probe_process_win32.h"
#include "sysinfo/dxdiag_record.h"
#include "sysinfo/inventory_pages.h"
#include "sysinfo/probes_win32.h"
#include "sysinfo/system_report_win32.h"
#include "shell/language_settings.h"
#include "support/app_fixture.h"
#include "support/sysinfo_fixture.h"

TEST(SysinfoProbes, FindsTheSystemDriveWithItsSpace)
{
    useEnglishTexts();
    SystemFacts facts;
    ProbeDrives(facts);
    ASSERT_FALSE(facts.drives.empty());
    // The drive Windows lies on, whatever its letter.
    wchar_t windows[MAX_PATH] = {};
    ASSERT_GE(GetWindowsDirectoryW(windows, MAX_PATH), 3u);
    const std::u16string root = fromWide(windows).substr(0, 3);
    const DriveRecord* systemDrive = nullptr;
    for (const DriveRecord& drive : facts.drives) {
        if (drive.rootPath == root)
            systemDrive = &drive;
    }
    ASSERT_NE(nullptr, systemDrive) << narrow(root);
    EXPECT_EQ(u"Hard Disk Drive", systemDrive->kind);
    EXPECT_TRUE(systemDrive->totalSpace.starts_with(u"Total Disk Space ")) << narrow(systemDrive->totalSpace);
    EXPECT_TRUE(systemDrive->freeSpace.starts_with(u"Free Disk Space ")) << narrow(systemDrive->freeSpace);
    EXPECT_TRUE(systemDrive->totalSpace.ends_with(u"GB")) << narrow(systemDrive->totalSpace);
    EXPECT_TRUE(systemDrive->freeSpace.ends_with(u"GB")) << narrow(systemDrive->freeSpace);
    EXPECT_NE(u" 0.000GB", systemDrive->totalSpace.substr(systemDrive->totalSpace.size() - 8));
}

TEST(SysinfoProbes, ReportsMemoryProcessorAndSystem)
{
    for (MemoryKind kind : {MemoryKind::Physical, MemoryKind::Virtual, MemoryKind::PageFile}) {
        const std::u16string size = ReadMemorySize(kind);
        EXPECT_TRUE(size.ends_with(u"MB")) << narrow(size);
        EXPECT_GT(std::stod(narrow(size)), 0.0) << narrow(size);
    }
    EXPECT_TRUE(ReadOsName().starts_with(u"Microsoft ")) << narrow(ReadOsName());
    EXPECT_FALSE(ReadProcessorBrand().empty());
    useEnglishTexts();
    EXPECT_TRUE(ReadProcessorCounts().starts_with(u"Logical Core Count ")) << narrow(ReadProcessorCounts());
    // The core query answers, so the physical count is a number.
    EXPECT_EQ(std::u16string::npos, ReadProcessorCounts().find(u"不明")) << narrow(ReadProcessorCounts());
}

// The program's manifest declares Windows 8 to 11, so the version query
// reports the true version and the line names it (under Wine: the version
// set in its configuration).
TEST(SysinfoProbes, OsLineNamesTheVersionTheSystemReports)
{
    OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version)));
    const std::u16string line = ReadOsName();
    std::printf("operating system line: %s\n", narrow(line).c_str());
    struct Product {
        DWORD major, minor;
        const char16_t* workstation;
    };
    const Product products[] = {{6, 1, u"Windows 7"},
                                {6, 2, u"Windows 8"},
                                {6, 3, u"Windows 8.1"},
                                {10, 0, version.dwBuildNumber < 22000 ? u"Windows 10" : u"Windows 11"}};
    if (version.wProductType != VER_NT_WORKSTATION)
        GTEST_SKIP() << "a server";
    for (const Product& product : products) {
        if (product.major == version.dwMajorVersion && product.minor == version.dwMinorVersion) {
            EXPECT_TRUE(line.starts_with(u"Microsoft " + std::u16string(product.workstation) + u"\u3000"))
                << narrow(line);
        }
    }
    const std::string build = "(build " + std::to_string(version.dwBuildNumber) + ")";
    EXPECT_TRUE(line.ends_with(std::u16string(build.begin(), build.end()))) << narrow(line);
}

// The whole report, gathered as the window gathers it; what it took goes to
// the output for the record (not a timing goal).
TEST(SysinfoProbes, GathersTheWholeReportWithTheDirectXRuntimesAnswer)
{
    const ScopedLanguage english(English);
    const auto start = std::chrono::steady_clock::now();
    const SystemReport report = GatherSystemReport();
    std::printf("gathering took %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - start)
                                           .count()));
    const std::u16string text = AssembleReport(report);
    std::printf("%s\n", narrow(text).c_str());
    EXPECT_NE(std::u16string::npos, text.find(u"-=-=-=-=-=-=- System Information -=-=-=-=-=-=-\r\n\r\n"
                                              u"Operating System\tMicrosoft "));
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    EXPECT_NE(std::u16string::npos, text.find(u"-=-=-=-=-=-=- Proccess Information -=-=-=-=-=-=-\r\n\r\n"))
        << "the process page follows";
    EXPECT_NE(std::u16string::npos, text.find(u"\r\n" + fromWide(path) + u"\t")) << "this program is listed";

    const SystemFacts& facts = CurrentSystemFacts();
    EXPECT_TRUE(facts.operatingSystem.starts_with(u"Microsoft ")) << narrow(facts.operatingSystem);
    EXPECT_FALSE(facts.processor.empty());
    // As the player reads it, without the quoting Wine's DxDiag adds.
    EXPECT_TRUE(facts.directXVersion.starts_with(u"DirectX ")) << narrow(facts.directXVersion);
    ASSERT_FALSE(facts.displayDevices.empty());
    const DisplayDeviceRecord& display = facts.displayDevices.front();
    EXPECT_FALSE(display.deviceName.empty());
    EXPECT_FALSE(display.description.empty());
    EXPECT_TRUE(display.videoMemory.ends_with(u" MB")) << narrow(display.videoMemory);
    EXPECT_TRUE(display.sharedVideoMemory.ends_with(u" MB")) << narrow(display.sharedVideoMemory);
    EXPECT_TRUE(display.vertexTexture == u"Supported" || display.vertexTexture == u"Not Supported")
        << narrow(display.vertexTexture);
    EXPECT_FALSE(display.vertexShader.empty());
    // Whatever input devices the machine has, each is described in full.
    std::printf("%zu input devices\n", facts.inputDevices.size());
    for (const InputDeviceRecord& device : facts.inputDevices) {
        EXPECT_EQ(37u, device.instanceId.size()) << narrow(device.instanceId);
        EXPECT_TRUE(device.notes.starts_with(u"Axis ")) << narrow(device.notes);
    }
}

namespace {

// Two more processes of this test program, waiting until the holder goes.
class SecondInstances {
public:
    explicit SecondInstances(const std::wstring& program)
        : event_(CreateEventW(nullptr, TRUE, FALSE, eventName().c_str()))
    {
        for (PROCESS_INFORMATION& child : children_) {
            STARTUPINFOW startup{};
            startup.cb = sizeof startup;
            std::wstring command = L"\"" + program + L"\" --wait " + eventName();
            EXPECT_TRUE(CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                       nullptr, &startup, &child));
        }
    }
    ~SecondInstances()
    {
        SetEvent(event_);
        for (PROCESS_INFORMATION& child : children_) {
            if (!child.hProcess)
                continue;
            WaitForSingleObject(child.hProcess, 10000);
            CloseHandle(child.hThread);
            CloseHandle(child.hProcess);
        }
        CloseHandle(event_);
    }
    SecondInstances(const SecondInstances&) = delete;
    SecondInstances& operator=(const SecondInstances&) = delete;

    // True once both have loaded their program, so the process list can name it.
    bool running() const
    {
        for (const PROCESS_INFORMATION& child : children_) {
            wchar_t path[MAX_PATH] = {};
            const HANDLE process =
                OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, child.dwProcessId);
            const bool named = process && GetModuleFileNameExW(process, nullptr, path, MAX_PATH) > 0;
            if (process)
                CloseHandle(process);
            if (!named)
                return false;
        }
        return true;
    }
    std::vector<DWORD> ids() const { return {children_[0].dwProcessId, children_[1].dwProcessId}; }

private:
    static std::wstring eventName()
    {
        return L"OrvanteProcessListTest" + std::to_wstring(GetCurrentProcessId());
    }

    HANDLE event_;
    PROCESS_INFORMATION children_[2] = {};
};

} // namespace

// A probe process sends its records and then ends, which ends the pipe; one
// that has nothing to send (a name this program does not know) ends it at
// once, and the tool goes on without.
TEST(SysinfoProbes, AProbeProcessSendsItsRecordsAndThenEnds)
{
    ProbeProcess dxdiag(DxDiagProbe);
    ASSERT_TRUE(dxdiag.started());
    const auto record = dxdiag.nextRecord();
    ASSERT_TRUE(record);
    SystemFacts facts;
    EXPECT_TRUE(DecodeDxDiagFacts(*record, DisplayDeviceRecord{}, facts));
    EXPECT_FALSE(facts.displayDevices.empty());
    EXPECT_FALSE(dxdiag.nextRecord());

    ProbeProcess unknown(L"no-such-probe");
    ASSERT_TRUE(unknown.started());
    EXPECT_FALSE(unknown.nextRecord());
}

TEST(SysinfoProbes, AProgramRunningThriceIsListedOnceWithTheIdentifierListedLast)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const SecondInstances others(path);
    for (int i = 0; i < 200 && !others.running(); ++i)
        Sleep(50);
    ASSERT_TRUE(others.running());

    std::vector<DWORD> ours = others.ids();
    ours.push_back(GetCurrentProcessId());
    DWORD listed[1024] = {};
    DWORD bytes = 0;
    ASSERT_TRUE(EnumProcesses(listed, sizeof listed, &bytes));
    DWORD last = 0;
    int found = 0;
    for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i) {
        if (std::find(ours.begin(), ours.end(), listed[i]) != ours.end()) {
            last = listed[i];
            ++found;
        }
    }
    ASSERT_EQ(3, found) << "the system lists all three processes of this program";

    const ProcessMap processes = ReadProcesses();
    const auto entry = processes.find(fromWide(path));
    ASSERT_NE(processes.end(), entry) << narrow(fromWide(path));
    EXPECT_EQ(last, entry->second);
}

TEST(SysinfoProbes, InstalledApplicationsComeFromTheUninstallKey)
{
    const TestUninstallEntries entries;
    const TitleSet names = ReadInstalledApplications();
    EXPECT_EQ(1u, names.count(TestUninstallEntries::DisplayName));
    EXPECT_EQ(1u, names.count(TestUninstallEntries::ThirtyTwoBitName)) << "the 32-bit view is read too";
    EXPECT_EQ(0u, names.count(TestUninstallEntries::NamelessKey));
}

// A visible window whose thread handles no message until it is released (or
// 5 s have passed), as a worker's window inside a graphics runtime.
class BusyThreadWindow {
public:
    static constexpr const char16_t* Title = u"ORVANTE Report Busy Window";
    BusyThreadWindow() { WaitForSingleObject(created_, 5000); }
    ~BusyThreadWindow()
    {
        heldUpAReader();
        for (HANDLE handle : {thread_, release_, created_})
            CloseHandle(handle);
    }
    BusyThreadWindow(const BusyThreadWindow&) = delete;
    BusyThreadWindow& operator=(const BusyThreadWindow&) = delete;

    // Releases the thread; true when it had to stop waiting by itself first.
    bool heldUpAReader()
    {
        SetEvent(release_);
        WaitForSingleObject(thread_, INFINITE);
        return waitedOut_;
    }

private:
    static DWORD WINAPI run(void* parameter)
    {
        auto* self = static_cast<BusyThreadWindow*>(parameter);
        const HWND window = CreateWindowExW(0, L"STATIC", reinterpret_cast<const wchar_t*>(Title),
                                            WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                            nullptr, nullptr, nullptr);
        SetEvent(self->created_);
        self->waitedOut_ = WaitForSingleObject(self->release_, 5000) == WAIT_TIMEOUT;
        MSG message; // answers what was sent meanwhile
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        DestroyWindow(window);
        return 0;
    }
    HANDLE created_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool waitedOut_ = false;
    HANDLE thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
};

TEST(SysinfoProbes, ApplicationTitlesListOnlyPlainVisibleWindows)
{
    const TestApplicationWindows windows;
    BusyThreadWindow busy;
    const TitleSet titles = ReadApplicationTitles();
    EXPECT_FALSE(busy.heldUpAReader()) << "a window whose thread is busy holds the step up";
    EXPECT_EQ(1u, titles.count(BusyThreadWindow::Title));
    EXPECT_EQ(1u, titles.count(TestApplicationWindows::Title));
    EXPECT_EQ(0u, titles.count(TestApplicationWindows::HiddenTitle));
    EXPECT_EQ(0u, titles.count(TestApplicationWindows::OwnedTitle));
    EXPECT_EQ(0u, titles.count(TestApplicationWindows::DisabledTitle));
}

// Platform structures carry names in fixed-size fields that a driver may fill
// to the last unit without a terminator.
TEST(SysinfoProbes, FixedSizeNameFieldsAreReadWithinTheirSize)
{
    struct {
        wchar_t field[4];
        wchar_t after[4];
    } full = {{L'a', L'b', L'c', L'd'}, {L'x', L'y', L'z', 0}};
    EXPECT_EQ(u"abcd", fromWideField(full.field));

    const wchar_t terminated[6] = {L'a', L'b', 0, L'q', L'q', 0};
    EXPECT_EQ(u"ab", fromWideField(terminated));
}
