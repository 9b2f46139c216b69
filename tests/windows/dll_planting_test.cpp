// The tool run from a folder that also holds DLLs of system names (a Downloads
// folder, say) loads none of them, neither at start-up nor later, and works.
//
// Under Wine: Wine prefers its built-in DLLs even when a DLL of the same name
// lies beside the program, so by default nothing planted would ever load
// here. WINEDLLOVERRIDES="d3d9,dxgi,...=n,b" makes Wine look for a native
// copy of those DLLs first (program folder, current directory, then the
// usual search path) and fall back to its built-in one: the search order
// Windows uses for every DLL that is not one of its known DLLs. Wine takes
// the variable from the Unix environment a process starts with, which child
// processes inherit; an environment block given to CreateProcessW does not
// change it. So CTest sets it for the whole test program (wine.DllPlanting in
// cmake/windows.cmake), and these tests are left out of the ordinary run. The
// probe's bare loads show that the override is in effect and that every
// stand-in springs its trap; without that, a clean result would prove nothing.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "support/app_fixture.h"
#include "support/dialog_driver.h"
#include "support/temp_folder.h"

namespace {

// The planted names, and what in the tool would look for each.
const wchar_t* const StandInNames[] = {
    L"winmm",       // the timer resolution, once an import
    L"d3d9",        // video page, display probes, report
    L"dxgi",        // video memory probe, report
    L"xinput1_3",   // XInput controllers
    L"xinput1_4",   // XInput on later Windows
    L"xinput9_1_0", // XInput's last fall-back
    L"dinput8",     // DirectInput, created through COM
};
constexpr DWORD StandInCount = sizeof StandInNames / sizeof *StandInNames;
constexpr DWORD StepMilliseconds = 30000;

std::wstring programFolder()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

// A child process started in the planted folder, ended if the test leaves
// before it has.
class ChildProcess {
public:
    ChildProcess(const std::wstring& folder, const std::wstring& program, const std::wstring& arguments)
    {
        std::wstring commandLine = L"\"" + folder + L"\\" + program + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.c_str(), &startup, &info_) != FALSE;
        error_ = started_ ? 0 : GetLastError();
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess()
    {
        if (!started_)
            return;
        if (running()) {
            TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }

    bool started() const { return started_; }
    DWORD startError() const { return error_; }
    DWORD id() const { return info_.dwProcessId; }
    bool running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
    // The exit code, or STILL_ACTIVE when it has not ended within the time.
    DWORD wait(DWORD milliseconds) const
    {
        WaitForSingleObject(info_.hProcess, milliseconds);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
    DWORD error_ = 0;
};

// The marks the stand-ins left, each named with the program that loaded it.
std::vector<std::wstring> marksIn(const std::wstring& folder)
{
    std::vector<std::wstring> marks;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"\\*.loaded").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return marks;
    do {
        const std::string by = readWholeFile(folder + L"\\" + found.cFileName);
        marks.push_back(
            std::wstring(found.cFileName) + L" (loaded by " +
            std::wstring(reinterpret_cast<const wchar_t*>(by.data()), by.size() / sizeof(wchar_t)) + L")");
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return marks;
}

void removeMarks(const std::wstring& folder)
{
    for (const wchar_t* name : StandInNames)
        DeleteFileW((folder + L"\\" + name + L".dll.loaded").c_str());
}

std::string narrow(const std::wstring& text)
{
    std::string out;
    for (const wchar_t c : text)
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

std::string describe(const std::vector<std::wstring>& marks)
{
    std::string text;
    for (const std::wstring& mark : marks)
        text += "\n  " + narrow(mark);
    return text.empty() ? " none" : text;
}

// The planted folder: copies of the given programs beside the stand-ins.
class PlantedFolder {
public:
    explicit PlantedFolder(std::initializer_list<const wchar_t*> programs)
    {
        const std::wstring build = programFolder();
        for (const wchar_t* program : programs)
            copy(build + L"\\" + program, program);
        for (const wchar_t* name : StandInNames)
            copy(build + L"\\stand-ins\\" + name + L".dll", std::wstring(name) + L".dll");
    }
    const std::wstring& path() const { return folder_.path(); }

private:
    void copy(const std::wstring& from, const std::wstring& name)
    {
        EXPECT_TRUE(CopyFileW(from.c_str(), folder_.file(name).c_str(), FALSE))
            << "cannot copy " << narrow(from) << " (error " << GetLastError() << "); is it built?";
    }
    TempFolder folder_;
};

std::wstring namesArgument()
{
    std::wstring arguments;
    for (const wchar_t* name : StandInNames)
        arguments += std::wstring(L" ") + name + L".dll";
    return arguments;
}

bool runningUnderWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

class DllPlanting : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!runningUnderWine())
            return;
        wchar_t overrides[2048] = {};
        GetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides, 2048);
        for (const wchar_t* name : StandInNames)
            ASSERT_TRUE(std::wcsstr(overrides, name))
                << "WINEDLLOVERRIDES must ask for native " << narrow(name)
                << " first; run this through CTest's wine.DllPlanting";
    }
};

// ---- Loading by name from the planted folder ------------------------------

struct ProbeCase {
    const wchar_t* mode;
    bool springsTraps; // true: every load is a stand-in's, each refused
};

const ProbeCase ProbeCases[] = {
    {L"bare", true},
    {L"restricted", false},
    {L"system", false},
    {L"path", false},
};

TEST_F(DllPlanting, SystemLoadsSkipTheProgramFolderWhereBareNamesFallIntoTheTrap)
{
    const PlantedFolder folder({L"dll-probe.exe"});
    ASSERT_FALSE(::testing::Test::HasFailure());
    for (const ProbeCase& probe : ProbeCases) {
        SCOPED_TRACE(narrow(probe.mode));
        removeMarks(folder.path());
        const ChildProcess child(folder.path(), L"dll-probe.exe", probe.mode + namesArgument());
        ASSERT_TRUE(child.started()) << "error " << child.startError();
        const DWORD loaded = child.wait(StepMilliseconds);
        ASSERT_NE(STILL_ACTIVE, loaded) << "the probe did not end";
        const std::vector<std::wstring> marks = marksIn(folder.path());
        if (probe.springsTraps) {
            EXPECT_EQ(0u, loaded) << "a stand-in let itself be loaded";
            EXPECT_EQ(StandInCount, marks.size())
                << "a bare name must find each stand-in first, or the override is not in effect; marks:"
                << describe(marks);
        } else {
            EXPECT_EQ(StandInCount, loaded) << "the system's own copies must load";
            EXPECT_TRUE(marks.empty()) << "stand-ins loaded:" << describe(marks);
        }
    }
}

// ---- The tool itself, driven through its three windows ---------------------

struct ControlSearch {
    int controlId;
    const wchar_t* className;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK considerControl(HWND control, LPARAM parameter)
{
    auto& search = *reinterpret_cast<ControlSearch*>(parameter);
    wchar_t className[32] = {};
    GetClassNameW(control, className, 32);
    if ((search.controlId && GetDlgCtrlID(control) != search.controlId) ||
        lstrcmpiW(className, search.className) != 0 || (search.visibleOnly && !IsWindowVisible(control)))
        return TRUE;
    search.found = control;
    return FALSE;
}

// A control of that class (and id, unless 0) anywhere inside the window, its
// pages included; with `visibleOnly`, only on the page shown.
HWND controlInside(HWND window, const wchar_t* className, int controlId, bool visibleOnly = false)
{
    ControlSearch search{controlId, className, visibleOnly, nullptr};
    EnumChildWindows(window, considerControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Plays the player against another process: each step polls until it
// succeeds; a step that does not within its time, or the tool ending on the
// way, stops the play and is named in the failure.
class Play {
public:
    explicit Play(const ChildProcess& tool) : tool_(tool) {}

    void step(const char* name, const std::function<bool()>& action)
    {
        if (!failure_.empty())
            return;
        const DWORD start = GetTickCount();
        while (!action()) {
            if (!tool_.running()) {
                char code[16];
                std::snprintf(code, sizeof code, "0x%08lX", tool_.wait(0));
                failure_ = std::string("the tool ended (exit code ") + code + ") while waiting for: " + name;
                return;
            }
            if (GetTickCount() - start > StepMilliseconds) {
                failure_ = std::string("timed out waiting for: ") + name;
                return;
            }
            Sleep(20);
        }
    }
    // Does something once, unless an earlier step failed.
    void act(const std::function<void()>& action)
    {
        if (failure_.empty())
            action();
    }
    const std::string& failure() const { return failure_; }

private:
    const ChildProcess& tool_;
    std::string failure_;
};

// A step that finds the tool's main window and keeps it in `main`.
std::function<bool()> mainWindowOf(DWORD process, HWND& main)
{
    return [process, &main] {
        return (main = Player::processDialogWithControl(process, IDC_MAIN_GENERAL)) != nullptr;
    };
}

// Leaves through the main window's OK. Without config.lng the tool asks
// whether to save the language; `answer` is the player's reply.
void leaveThroughOk(Play& play, DWORD process, HWND main, int answer)
{
    play.act([&] { Player::click(main, IDOK); });
    HWND question = nullptr;
    play.step("the question whether to save", [&] {
        question = Player::processDialogWithControl(process, IDC_MESSAGE_TEXT);
        return question && GetDlgItem(question, IDCANCEL);
    });
    play.act([&] { Player::click(question, answer); });
}

// One of the three windows: the main window's button that opens it, a control
// that tells it from the others, how to tell that it did its work, and whether it may instead
// end at once with a message (the gamepad window does when no controller is
// attached, as under Wine, once it has looked for them).
struct ToolWindow {
    const char* name;
    int button;
    int controlId;
    std::function<bool(HWND)> worked;
    bool mayEndWithMessage;
};

LRESULT countOf(HWND control, UINT message)
{
    DWORD_PTR count = 0;
    if (!control || !SendMessageTimeoutW(control, message, 0, 0, SMTO_ABORTIFHUNG, 2000, &count))
        return 0;
    return static_cast<LRESULT>(count);
}

const ToolWindow ToolWindows[] = {
    // The video page lists the adapters Direct3D 9 reports.
    {"general settings", IDC_MAIN_GENERAL, IDC_GENERAL_TABS,
     [](HWND window) {
         return countOf(controlInside(window, L"ComboBox", IDC_VIDEO_DEVICE), CB_GETCOUNT) > 0;
     },
     false},
    // The device list holds the controllers found.
    {"gamepad settings", IDC_MAIN_GAMEPAD, IDC_GAMEPAD_MENU_UP,
     [](HWND window) { return countOf(GetDlgItem(window, IDC_GAMEPAD_DEVICE), CB_GETCOUNT) > 0; }, true},
    // The system page, shown first, lists what the probes gathered.
    {"system information", IDC_MAIN_SYSTEM_INFORMATION, IDC_SYSINFO_COPY,
     [](HWND window) {
         return countOf(controlInside(window, L"SysListView32", 0, true), LVM_GETITEMCOUNT) > 0;
     },
     false},
};

constexpr std::uint32_t LanguageFileMagic = 0x20090423;

// The player's language file, put back as it was after the test.
class SavedLanguageFile {
public:
    SavedLanguageFile() : path_(settingsFile(L"config.lng")), bytes_(readWholeFile(path_))
    {
        DeleteFileW(path_.c_str());
    }
    ~SavedLanguageFile()
    {
        DeleteFileW(path_.c_str());
        if (bytes_ == "<missing>")
            return;
        const HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes_.data(), static_cast<DWORD>(bytes_.size()), &written, nullptr);
        CloseHandle(file);
    }
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
    std::string bytes_;
};

TEST_F(DllPlanting, ToolRunFromAPlantedFolderLoadsNoneOfItsDllsAndWorks)
{
    const PlantedFolder folder({L"orvante-config.exe"});
    ASSERT_FALSE(::testing::Test::HasFailure());
    // Without config.lng, leaving through OK asks to save the language: the
    // file written at the end shows the run went through to the end.
    const SavedLanguageFile languageFile;

    const ChildProcess tool(folder.path(), L"orvante-config.exe", L"");
    ASSERT_TRUE(tool.started()) << "error " << tool.startError();
    const DWORD process = tool.id();
    Play play(tool);
    HWND main = nullptr;
    const auto mainWindowShows = mainWindowOf(process, main);

    play.step("the main window", mainWindowShows);
    for (const ToolWindow& window : ToolWindows) {
        HWND opened = nullptr;
        bool message = false;
        const std::string name = window.name;
        play.act([&] { Player::click(main, window.button); });
        play.step(("the " + name + " window").c_str(), [&] {
            opened = Player::processDialogWithControl(process, window.controlId);
            if (!opened && window.mayEndWithMessage)
                message = (opened = Player::processDialogWithControl(process, IDC_MESSAGE_TEXT)) != nullptr;
            return opened != nullptr;
        });
        if (message) {
            play.act([&] { Player::click(opened, IDOK); });
        } else {
            play.step(("the " + name + " window to show its content").c_str(),
                      [&] { return window.worked(opened); });
            play.act([&] { PostMessageW(opened, WM_CLOSE, 0, 0); });
        }
        play.step(("the main window after the " + name + " window").c_str(), mainWindowShows);
    }
    leaveThroughOk(play, process, main, IDYES);

    const DWORD exitCode = play.failure().empty() ? tool.wait(StepMilliseconds) : STILL_ACTIVE;
    const std::vector<std::wstring> marks = marksIn(folder.path());
    EXPECT_TRUE(marks.empty()) << "stand-ins loaded:" << describe(marks);
    ASSERT_EQ("", play.failure());
    EXPECT_EQ(0u, exitCode) << "the tool did not end normally after the player left";
    const std::string written = readWholeFile(languageFile.path());
    ASSERT_EQ(8u, written.size()) << "config.lng was not saved";
    std::uint32_t magic = 0;
    std::memcpy(&magic, written.data(), 4);
    EXPECT_EQ(LanguageFileMagic, magic);
}

// DxDiag is asked ahead once a window has finished opening. A player who
// leaves right after, while it is still being asked, gets a tool that ends
// normally (no crash at exit) and still loads nothing from its folder.
TEST_F(DllPlanting, ToolLeftWhileDxDiagIsAskedAheadEndsNormally)
{
    const PlantedFolder folder({L"orvante-config.exe"});
    ASSERT_FALSE(::testing::Test::HasFailure());
    const SavedLanguageFile languageFile;

    const ChildProcess tool(folder.path(), L"orvante-config.exe", L"");
    ASSERT_TRUE(tool.started()) << "error " << tool.startError();
    const DWORD process = tool.id();
    Play play(tool);
    HWND main = nullptr;
    const auto mainWindowShows = mainWindowOf(process, main);
    HWND general = nullptr;
    play.step("the main window", mainWindowShows);
    play.act([&] { Player::click(main, IDC_MAIN_GENERAL); });
    play.step("the general settings window", [&] {
        return (general = Player::processDialogWithControl(process, IDC_GENERAL_TABS)) != nullptr;
    });
    // Its adapter list is filled once the graphics runtime answered; the
    // player then reads the window for a moment, and DxDiag is asked
    // meanwhile.
    play.step("the general settings window to list the adapters",
              [&] { return ToolWindows[0].worked(general); });
    play.act([] { Sleep(600); });
    play.act([&] { PostMessageW(general, WM_CLOSE, 0, 0); });
    play.step("the main window again", mainWindowShows);
    leaveThroughOk(play, process, main, IDNO);

    const DWORD exitCode = play.failure().empty() ? tool.wait(StepMilliseconds) : STILL_ACTIVE;
    ASSERT_EQ("", play.failure());
    EXPECT_EQ(0u, exitCode) << "the tool did not end normally";
    const std::vector<std::wstring> marks = marksIn(folder.path());
    EXPECT_TRUE(marks.empty()) << "stand-ins loaded:" << describe(marks);
    EXPECT_EQ("<missing>", readWholeFile(languageFile.path())) << "No saves nothing";
}

} // namespace
