#include "sysinfo/system_gathering_win32.h"

#include <objbase.h>

#include <atomic>
#include <cstdlib>

#include "shell/text_table_win32.h"
#include "sysinfo/probes_win32.h"

namespace {

// DxDiag often takes seconds on a real machine; far beyond that it is not
// coming back.
constexpr DWORD DefaultTimeLimit = 20000;

std::atomic<DWORD> timeLimit{0};
std::atomic<void (*)(GatheringStep)> stepHook{nullptr};
std::atomic<LONG> runningWorkers{0};
std::atomic<bool> exitWaitRegistered{false};

// Workers left behind by a window that closed early (or by a run that ended
// before the early DxDiag answered) are given a while to finish before the
// process's static objects and runtimes go.
constexpr DWORD ExitWaitMilliseconds = 10000;

// Set once the process is leaving: an early DxDiag that has not begun by
// then is not begun at all.
std::atomic<bool> leaving{false};

void waitAtExit()
{
    leaving = true;
    for (DWORD waited = 0; runningWorkers > 0 && waited < ExitWaitMilliseconds; waited += 10)
        Sleep(10);
}

void registerExitWait()
{
    if (!exitWaitRegistered.exchange(true))
        std::atexit(waitAtExit);
}

// COM and the report's texts for the length of one worker's run.
class WorkerThread {
public:
    explicit WorkerThread(const TextTable& texts) : com_(CoInitialize(nullptr))
    {
        UseReportTextsOnThisThread(&texts);
    }
    ~WorkerThread()
    {
        UseReportTextsOnThisThread(nullptr);
        if (SUCCEEDED(com_))
            CoUninitialize();
    }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

private:
    HRESULT com_;
};

// DxDiag asked ahead of the first window. Its thread and the gathering that
// takes it share it; the last to let go deletes it.
struct EarlyDxDiag {
    volatile LONG holders = 2;
    HANDLE done = nullptr;    // set once `facts` is complete
    HANDLE thread = nullptr;  // its worker's
    ULONGLONG answeredAt = 0; // GetTickCount64 when it was
    TextTable texts;          // the language the facts are written in
    SystemFacts facts;
};

// Devices come and go: an answer older than this is not the machine's now.
constexpr DWORD DefaultEarlyAnswerLifetime = 5 * 60 * 1000;
std::atomic<DWORD> earlyAnswerLifetime{0};

std::atomic<bool> earlyDxDiagStarted{false};
std::atomic<LONG> dxdiagAsked{0};
// Null before the start, and again once a gathering took it.
std::atomic<EarlyDxDiag*> earlyDxDiag{nullptr};

void letGo(EarlyDxDiag* early)
{
    if (InterlockedDecrement(&early->holders) != 0)
        return;
    CloseHandle(early->done);
    if (early->thread)
        CloseHandle(early->thread);
    delete early;
}

DWORD WINAPI earlyDxDiagWorker(void* parameter)
{
    auto* early = static_cast<EarlyDxDiag*>(parameter);
    {
        const WorkerThread thread(early->texts);
        // DxDiag starts the graphics runtime too: after the preparation it
        // finds it warm. (Under Wine, a cold start of its OpenGL layer on a
        // worker can deadlock with a window being shown.)
        WaitForDisplayAdapters(INFINITE);
        if (!leaving) {
            ++dxdiagAsked;
            ProbeDxDiag(early->facts);
        }
    }
    early->answeredAt = GetTickCount64();
    SetEvent(early->done);
    letGo(early);
    --runningWorkers;
    return 0;
}

// Puts the early answer into `facts` when there is one in the language of
// `texts`, waiting for it if need be. An answer in another language (the
// player switched before opening the window) is dropped, as its texts would
// be the wrong ones, and so is one that has grown old.
bool takeEarlyDxDiag(const TextTable& texts, SystemFacts& facts)
{
    EarlyDxDiag* early = earlyDxDiag.exchange(nullptr);
    if (!early)
        return false;
    bool usable = early->texts == texts;
    if (usable) {
        // Asked for later, it is now what the player waits for.
        SetThreadPriority(early->thread, THREAD_PRIORITY_NORMAL);
        WaitForSingleObject(early->done, INFINITE);
        const DWORD lifetime = earlyAnswerLifetime;
        usable =
            GetTickCount64() - early->answeredAt <= (lifetime > 0 ? lifetime : DefaultEarlyAnswerLifetime);
        if (usable)
            facts = std::move(early->facts);
    }
    letGo(early);
    return usable;
}

// The DxDiag step of a gathering in the language of `texts`.
void askDxDiag(const TextTable& texts, GatheredParts& parts)
{
    if (takeEarlyDxDiag(texts, parts.dxdiag))
        return;
    ++dxdiagAsked;
    RunGatheringStep(GatheringStep::DxDiag, parts);
}

} // namespace

struct SystemGathering {
    // The window and the two workers; the last to let go deletes it.
    volatile LONG holders = 3;
    // Set by the DxDiag worker when its step is done.
    HANDLE dxdiagDone = nullptr;
    // Read-only copy for the workers' texts.
    TextTable texts;

    SRWLOCK lock = SRWLOCK_INIT;
    // Guarded by `lock`: null once the window let go.
    HWND window = nullptr;
    UINT progressMessage = 0;
    UINT doneMessage = 0;
    GatheredParts parts;
    unsigned stepsDone = 0;
};

namespace {

class Exclusive {
public:
    explicit Exclusive(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ~Exclusive() { ReleaseSRWLockExclusive(&lock_); }
    Exclusive(const Exclusive&) = delete;
    Exclusive& operator=(const Exclusive&) = delete;

private:
    SRWLOCK& lock_;
};

void letGo(SystemGathering* gathering)
{
    if (InterlockedDecrement(&gathering->holders) != 0)
        return;
    if (gathering->dxdiagDone)
        CloseHandle(gathering->dxdiagDone);
    delete gathering;
}

void runStep(SystemGathering& gathering, GatheringStep step)
{
    if (const auto hook = stepHook.load())
        hook(step);
    GatheredParts result;
    if (step == GatheringStep::DxDiag)
        askDxDiag(gathering.texts, result);
    else
        RunGatheringStep(step, result);
    const Exclusive guard(gathering.lock);
    MoveGatheredPart(step, result, gathering.parts);
    ++gathering.stepsDone;
    if (gathering.window)
        PostMessageW(gathering.window, gathering.progressMessage, gathering.stepsDone, 0);
}

void runDxDiag(SystemGathering& gathering)
{
    {
        const WorkerThread thread(gathering.texts);
        runStep(gathering, GatheringStep::DxDiag);
    }
    SetEvent(gathering.dxdiagDone);
}

DWORD WINAPI dxdiagWorker(void* parameter)
{
    auto* gathering = static_cast<SystemGathering*>(parameter);
    runDxDiag(*gathering);
    letGo(gathering);
    --runningWorkers;
    return 0;
}

bool startWorker(LPTHREAD_START_ROUTINE work, SystemGathering* gathering)
{
    ++runningWorkers;
    const HANDLE thread = CreateThread(nullptr, 0, work, gathering, 0, nullptr);
    if (!thread) {
        --runningWorkers;
        return false;
    }
    CloseHandle(thread);
    return true;
}

void runOtherSteps(SystemGathering& gathering)
{
    {
        const WorkerThread thread(gathering.texts);
        for (unsigned step = 0; step < GatheringStepCount; ++step) {
            if (static_cast<GatheringStep>(step) != GatheringStep::DxDiag)
                runStep(gathering, static_cast<GatheringStep>(step));
        }
    }
    WaitForSingleObject(gathering.dxdiagDone, INFINITE);
    const Exclusive guard(gathering.lock);
    if (gathering.window)
        PostMessageW(gathering.window, gathering.doneMessage, 0, 0);
}

DWORD WINAPI mainWorker(void* parameter)
{
    auto* gathering = static_cast<SystemGathering*>(parameter);
    // Without a thread of its own, DxDiag runs here after the other steps.
    if (!startWorker(dxdiagWorker, gathering)) {
        runDxDiag(*gathering);
        letGo(gathering);
    }
    runOtherSteps(*gathering);
    letGo(gathering);
    --runningWorkers;
    return 0;
}

SystemReport takeReport(SystemGathering* gathering, bool wanted)
{
    GatheredParts parts;
    {
        const Exclusive guard(gathering->lock);
        gathering->window = nullptr;
        if (wanted)
            parts = gathering->parts;
    }
    letGo(gathering);
    SystemFacts facts;
    return wanted ? BuildSystemReport(parts, facts) : SystemReport{};
}

} // namespace

SystemGathering* StartSystemGathering(HWND window, UINT progressMessage, UINT doneMessage)
{
    registerExitWait();
    // A window that asks for itself needs no early answer any more.
    earlyDxDiagStarted = true;
    auto* gathering = new SystemGathering;
    gathering->texts = CurrentTextTable();
    gathering->window = window;
    gathering->progressMessage = progressMessage;
    gathering->doneMessage = doneMessage;
    gathering->dxdiagDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (gathering->dxdiagDone && startWorker(mainWorker, gathering))
        return gathering;
    // No worker: everything runs here, as it did before the window answered.
    ++runningWorkers;
    if (!gathering->dxdiagDone)
        gathering->dxdiagDone = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    runDxDiag(*gathering);
    letGo(gathering);
    runOtherSteps(*gathering);
    letGo(gathering);
    --runningWorkers;
    return gathering;
}

SystemReport FinishSystemGathering(SystemGathering* gathering)
{
    return takeReport(gathering, true);
}

void AbandonSystemGathering(SystemGathering* gathering)
{
    takeReport(gathering, false);
}

void StartEarlyDxDiag()
{
    if (earlyDxDiagStarted.exchange(true))
        return;
    registerExitWait();
    auto* early = new EarlyDxDiag;
    early->texts = CurrentTextTable();
    early->done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ++runningWorkers;
    const HANDLE thread =
        early->done ? CreateThread(nullptr, 0, earlyDxDiagWorker, early, 0, nullptr) : nullptr;
    if (!thread) {
        // The first window asks DxDiag itself.
        --runningWorkers;
        if (early->done)
            CloseHandle(early->done);
        delete early;
        return;
    }
    // Work for later: the player's windows come first.
    SetThreadPriority(thread, THREAD_PRIORITY_BELOW_NORMAL);
    early->thread = thread;
    earlyDxDiag = early;
}

bool EarlyDxDiagStarted()
{
    return earlyDxDiagStarted;
}

DWORD SystemGatheringTimeLimit()
{
    const DWORD limit = timeLimit;
    return limit > 0 ? limit : DefaultTimeLimit;
}

void SetSystemGatheringTimeLimit(DWORD milliseconds)
{
    timeLimit = milliseconds;
}

void SetGatheringStepHook(void (*hook)(GatheringStep step))
{
    stepHook = hook;
}

LONG RunningGatheringWorkers()
{
    return runningWorkers;
}

bool EarlyDxDiagWaiting()
{
    return earlyDxDiag != nullptr;
}

LONG DxDiagAskedCount()
{
    return dxdiagAsked;
}

void SetEarlyDxDiagLifetime(DWORD milliseconds)
{
    earlyAnswerLifetime = milliseconds;
}

void ForgetEarlyDxDiag()
{
    if (EarlyDxDiag* early = earlyDxDiag.exchange(nullptr)) {
        WaitForSingleObject(early->done, INFINITE);
        letGo(early);
    }
    earlyDxDiagStarted = false;
}
