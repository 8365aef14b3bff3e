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

bool StartComputeJob(const OkFields& fields, const OtpChain& chain) {
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

} // namespace

JobState ComputeOrStartChain(const OkFields& fields, OtpChain& chain) {
    if (job.thread != nullptr) return JobState::Failed;
    if (RunsOnWorker(fields.kind, OtpChainSteps(chain)) && StartComputeJob(fields, chain))
        return JobState::Started;
    OtpProgress progress;
    const bool computed =
        ComputeOtpChain(*fields.kind, fields.seed, fields.passPhrase, chain, progress) == kOtpOk;
    WipeUsedStack();
    return computed ? JobState::Computed : JobState::Failed;
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

JobState PollComputeJob(char progress[kProgressTextSize], OtpChain& chain) {
    if (job.thread == nullptr) return JobState::None;
    if (WaitForSingleObject(job.thread, 0) != WAIT_OBJECT_0) {
        FormatProgress(job.progress.stepsDone, OtpChainSteps(job.chain), progress);
        return JobState::Running;
    }
    const bool computed = job.result == kOtpOk;
    if (computed) chain = job.chain;
    JoinAndWipeJob();
    return computed ? JobState::Computed : JobState::Failed;
}
