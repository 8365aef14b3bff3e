#include "shell/compute_job.h"

#include <windows.h>

#include <openssl/crypto.h>

#include <cstring>

#include "shell/stack_wipe.h"

namespace {

// The worker needs a few kilobytes: hash contexts and the wiped area.
constexpr SIZE_T kWorkerStackBytes = 64 * 1024;

struct Job {
    HANDLE thread;
    OkFields input; // the worker's; it wipes the copy when it ends
    OkFields shown; // what the dialog must still show
    std::uint32_t count;
    OtpProgress progress;
    int result;
    char response[kResponseSize];
};

Job job;

DWORD WINAPI Worker(LPVOID) {
    job.result = ComputeOtpInSlices(*job.input.kind, job.count, job.input.seed,
                                    job.input.passPhrase, job.response, job.progress);
    OPENSSL_cleanse(&job.input, sizeof job.input);
    WipeUsedStack();
    // NOTE: no OPENSSL_thread_stop(). The worker calls only the digest functions, and nothing
    // here initialises libcrypto, so it keeps no state for this thread; the call would link
    // libcrypto's initialisation and configuration loading (2.4 MB) to do nothing.
    return 0;
}

void JoinAndWipeJob() {
    WaitForSingleObject(job.thread, INFINITE);
    CloseHandle(job.thread);
    job.thread = nullptr;
    OPENSSL_cleanse(&job.input, sizeof job.input);
    OPENSSL_cleanse(&job.shown, sizeof job.shown);
    OPENSSL_cleanse(job.response, sizeof job.response);
}

} // namespace

bool StartComputeJob(const OkFields& fields, std::uint32_t count) {
    if (job.thread != nullptr) return false;
    job.input = fields;
    job.shown = fields;
    job.count = count;
    job.progress.stopRequested = false;
    job.progress.stepsDone = 0;
    job.result = kOtpStopped;
    job.thread = CreateThread(nullptr, kWorkerStackBytes, Worker, nullptr,
                              STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (job.thread != nullptr) return true;
    OPENSSL_cleanse(&job.input, sizeof job.input);
    OPENSSL_cleanse(&job.shown, sizeof job.shown);
    return false;
}

bool ComputeJobRunning() {
    return job.thread != nullptr;
}

bool ComputeJobMatches(const OkFields& shown) {
    return SameOkFields(shown, job.shown);
}

void ComputeJobPassPhraseCleared() {
    OPENSSL_cleanse(job.shown.passPhrase, sizeof job.shown.passPhrase);
}

void StopComputeJob() {
    if (job.thread == nullptr) return;
    job.progress.stopRequested = true;
    JoinAndWipeJob();
}

bool PollComputeJob(char progress[kProgressTextSize], bool* computed,
                    char response[kResponseSize]) {
    if (WaitForSingleObject(job.thread, 0) != WAIT_OBJECT_0) {
        FormatProgress(job.progress.stepsDone, job.count, progress);
        return false;
    }
    *computed = job.result == kOtpOk;
    if (*computed) std::memcpy(response, job.response, kResponseSize);
    JoinAndWipeJob();
    return true;
}
