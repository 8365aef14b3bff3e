#pragma once
// A long count on one worker thread, so that the dialog keeps answering while
// it runs. One job at a time; everything but the worker runs on the dialog's thread.
#include <cstdint>

#include "engine/otp.h"
#include "shell/logic/main_logic.h"

// The chain of `fields`: a long one on the worker, from a copy of both (Started: poll the job
// until it ends), any other within the call, its stack wiped after (Computed or Failed). Should
// no thread be had, a long one is computed within the call after all.
enum class JobState { None, Started, Running, Computed, Failed };
JobState ComputeOrStartChain(const OkFields& fields, OtpChain& chain);
bool ComputeJobRunning();

// Whether `shown`, read from the dialog now, is still what the job answers.
bool ComputeJobMatches(const OkFields& shown);

// The dock cleared the pass-phrase field: putting the dialog away is no
// change of what the job answers.
void ComputeJobPassPhraseCleared();

// Stops the worker and returns once it has ended, its result dropped.
void StopComputeJob();

// Running, with its progress text in `progress`; once the worker has ended, Computed with the
// values in `chain`, or Failed, and the job is over. None when no job runs: a tick queued before
// it was stopped.
JobState PollComputeJob(char progress[kProgressTextSize], OtpChain& chain);
