#include "shell/services/compute_job.h"

#include <windows.h>

#include <openssl/crypto.h>

#include "shell/services/stack_wipe.h"

namespace {

// The worker needs a few kilobytes: hash contexts and the wiped area.
constexpr SIZE_T kWorkerStackBytes = 64 * 1024;

struct Job {
    HANDLE thread;
    OkFields input; // the worker's; it wipes the copy when it ends
    OkFields shown; // what the dialog must still show
    OtpChain chain;
    OtpProgress progress;
    int result;
};

Job job;

DWORD WINAPI Worker(LPVOID) {
    job.result = ComputeOtpChain(*job.input.kind, job.input.seed, job.input.passPhrase, job.chain,
                                 job.progress);
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
    OPENSSL_cleanse(&job.chain, sizeof job.chain);
}

} // namespace

bool StartComputeJob(const OkFields& fields, const OtpChain& chain) {
    if (job.thread != nullptr) return false;
    job.input = fields;
    job.shown = fields;
    job.chain = chain;
    job.progress.stopRequested = false;
    job.progress.stepsDone = 0;
    job.result = kOtpStopped;
    job.thread = CreateThread(nullptr, kWorkerStackBytes, Worker, nullptr,
                              STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (job.thread != nullptr) return true;
    OPENSSL_cleanse(&job.input, sizeof job.input);
    OPENSSL_cleanse(&job.shown, sizeof job.shown);
    OPENSSL_cleanse(&job.chain, sizeof job.chain);
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

bool PollComputeJob(char progress[kProgressTextSize], bool* computed, OtpChain& chain) {
    if (WaitForSingleObject(job.thread, 0) != WAIT_OBJECT_0) {
        FormatProgress(job.progress.stepsDone, OtpChainSteps(job.chain), progress);
        return false;
    }
    *computed = job.result == kOtpOk;
    if (*computed) chain = job.chain;
    JoinAndWipeJob();
    return true;
}
