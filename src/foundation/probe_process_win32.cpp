#include "foundation/probe_process_win32.h"

#include "foundation/exclusive_lock_win32.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// A record's length goes before it; no probe's record comes near this, so a
// larger length means the other end is not a probe.
constexpr std::uint32_t LargestRecord = 16u << 20;

// Held while a probe process is created with its end of a pipe inheritable:
// a second probe created meanwhile would inherit that end too and keep the
// pipe open after the first one's process ended. Also guards `job` and `probeIds`.
SRWLOCK creation = SRWLOCK_INIT;
// Ends every probe process once the tool's process lets go of it, which the
// system does when the process ends, however it ends. The tool's process
// joins it too, so that a probe is in it from the moment it is created: a
// process ended between creating a probe and handing it to the job would
// otherwise leave it behind, never to run. Null when no job could be set up;
// probes then end when their work does, or when their ProbeProcess ends them.
HANDLE job = nullptr;
bool jobTried = false;
// The identifiers of the probe processes whose ProbeProcess still exists.
std::vector<DWORD>& probeIds = *new std::vector<DWORD>;

HANDLE probeJob()
{
    if (jobTried)
        return job;
    jobTried = true;
    job = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job && !SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        CloseHandle(job);
        job = nullptr;
    }
    // Refused where the process already is in a job that allows no other
    // (Windows 7); each probe then joins on its own once created.
    if (job)
        AssignProcessToJobObject(job, GetCurrentProcess());
    return job;
}

std::wstring thisProgram()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// Only `write` is handed to the new process, on systems that honour the
// list; the lock above covers those that hand over every inheritable handle.
bool startSuspended(const std::wstring& program, std::wstring commandLine, HANDLE write,
                    PROCESS_INFORMATION& process)
{
    const DWORD priority =
        GetThreadPriority(GetCurrentThread()) < THREAD_PRIORITY_NORMAL ? BELOW_NORMAL_PRIORITY_CLASS : 0;
    SIZE_T listSize = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &listSize);
    std::vector<char> listMemory(listSize);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listMemory.data());
    if (!InitializeProcThreadAttributeList(list, 1, 0, &listSize))
        return false;
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdOutput = write;
    const bool created =
        UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &write, sizeof write, nullptr,
                                  nullptr) &&
        CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                       CREATE_SUSPENDED | CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT | priority, nullptr,
                       nullptr, &startup.StartupInfo, &process);
    DeleteProcThreadAttributeList(list);
    return created;
}

} // namespace

ProbeProcess::ProbeProcess(const wchar_t* name)
{
    const std::wstring program = thisProgram();
    if (program.empty())
        return;
    const std::wstring commandLine = L"\"" + program + L"\" --probe " + name;
    PROCESS_INFORMATION process{};
    bool created = false;
    {
        const ExclusiveLock guard(creation);
        const HANDLE probes = probeJob();
        SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
        HANDLE write = nullptr;
        if (CreatePipe(&output_, &write, &inheritable, 0)) {
            // Only the probe's end may be inherited; closed here once it has
            // it, so that the probe's ending ends the pipe.
            SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);
            created = startSuspended(program, commandLine, write, process);
            CloseHandle(write);
        }
        // In the job from the start when this process is; else joined before
        // it runs. Outside it, a probe still ends with its work or this object.
        if (created && probes)
            AssignProcessToJobObject(probes, process.hProcess);
        if (created)
            probeIds.push_back(process.dwProcessId);
    }
    if (!created)
        return;
    process_ = process.hProcess;
    if (ResumeThread(process.hThread) == static_cast<DWORD>(-1))
        TerminateProcess(process_, 1); // the pipe then ends at once
    CloseHandle(process.hThread);
}

ProbeProcess::~ProbeProcess()
{
    if (output_)
        CloseHandle(output_);
    if (process_) {
        {
            const ExclusiveLock guard(creation);
            std::erase(probeIds, GetProcessId(process_));
        }
        // A probe that wrote all it had ends by itself; one still running is
        // of no use to anyone any more.
        if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0)
            TerminateProcess(process_, 1);
        CloseHandle(process_);
    }
}

void ProbeProcess::runBelowNormal(bool below) const
{
    if (process_) // best effort, as a thread's priority is
        SetPriorityClass(process_, below ? BELOW_NORMAL_PRIORITY_CLASS : NORMAL_PRIORITY_CLASS);
}

void ProbeProcess::end() const
{
    if (process_)
        TerminateProcess(process_, 1); // fails only once it has ended anyway
}

bool ProbeProcess::readExactly(char* buffer, DWORD size)
{
    while (size > 0) {
        DWORD read = 0;
        if (!ReadFile(output_, buffer, size, &read, nullptr) || read == 0)
            return false;
        buffer += read;
        size -= read;
    }
    return true;
}

std::optional<std::string> ProbeProcess::nextRecord()
{
    unsigned char length[4];
    if (!output_ || !readExactly(reinterpret_cast<char*>(length), sizeof length))
        return std::nullopt;
    const std::uint32_t size = length[0] | length[1] << 8 | length[2] << 16 | std::uint32_t{length[3]} << 24;
    if (size > LargestRecord)
        return std::nullopt;
    std::string record(size, '\0');
    if (!readExactly(record.data(), size))
        return std::nullopt;
    return record;
}

bool IsProbeProcessOfThisOne(DWORD processId)
{
    const ExclusiveLock guard(creation);
    return std::find(probeIds.begin(), probeIds.end(), processId) != probeIds.end();
}

std::wstring RequestedProbe()
{
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments)
        return {};
    std::wstring name;
    if (count == 3 && lstrcmpW(arguments[1], L"--probe") == 0)
        name = arguments[2];
    LocalFree(arguments);
    return name;
}

bool WriteProbeRecord(std::string_view record)
{
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    const auto size = static_cast<std::uint32_t>(record.size());
    const unsigned char length[4] = {static_cast<unsigned char>(size), static_cast<unsigned char>(size >> 8),
                                     static_cast<unsigned char>(size >> 16),
                                     static_cast<unsigned char>(size >> 24)};
    DWORD written = 0;
    return output && output != INVALID_HANDLE_VALUE && record.size() <= LargestRecord &&
           WriteFile(output, length, sizeof length, &written, nullptr) && written == sizeof length &&
           WriteFile(output, record.data(), size, &written, nullptr) && written == size;
}
