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

// Workers left behind by a window that closed early are given a while to
// finish before the process's static objects and runtimes go.
constexpr DWORD ExitWaitMilliseconds = 10000;

void waitAtExit()
{
    for (DWORD waited = 0; runningWorkers > 0 && waited < ExitWaitMilliseconds; waited += 10)
        Sleep(10);
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
    RunGatheringStep(step, result);
    const Exclusive guard(gathering.lock);
    MoveGatheredPart(step, result, gathering.parts);
    ++gathering.stepsDone;
    if (gathering.window)
        PostMessageW(gathering.window, gathering.progressMessage, gathering.stepsDone, 0);
}

// COM and the texts for the length of one worker's run.
class WorkerThread {
public:
    explicit WorkerThread(const SystemGathering& gathering) : com_(CoInitialize(nullptr))
    {
        UseReportTextsOnThisThread(&gathering.texts);
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

void runDxDiag(SystemGathering& gathering)
{
    {
        const WorkerThread thread(gathering);
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
        const WorkerThread thread(gathering);
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
    if (!exitWaitRegistered.exchange(true))
        std::atexit(waitAtExit);
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
