#pragma once
// A long count on one worker thread, so that the dialog keeps answering while
// it runs. One job at a time; everything but the worker runs on the dialog's thread.
#include <cstdint>

#include "engine/otp.h"
#include "shell/logic/main_logic.h"

// Starts the worker on a copy of `fields` and of the chain to compute; false when a job runs
// already or no thread can be made.
bool StartComputeJob(const OkFields& fields, const OtpChain& chain);
bool ComputeJobRunning();

// Whether `shown`, read from the dialog now, is still what the job answers.
bool ComputeJobMatches(const OkFields& shown);

// The dock cleared the pass-phrase field: putting the dialog away is no
// change of what the job answers.
void ComputeJobPassPhraseCleared();

// Stops the worker and returns once it has ended, its result dropped.
void StopComputeJob();

// While the job runs: false, with its progress text in `progress`. Once the
// worker has ended: true, the job is over, and `computed` tells whether
// `chain` holds its values.
bool PollComputeJob(char progress[kProgressTextSize], bool* computed, OtpChain& chain);
