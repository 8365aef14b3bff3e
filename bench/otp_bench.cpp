// Step loop against the library: (a) our step loop, (b) the one-shot digest of
// 8 bytes plus the fold, (c) the bare block function. The goal is a/c >= 0.9.
// And the whole response in one call (d) against the same in slices that can be
// stopped (e): the goal is e/d of 1, the slices costing nothing measurable. And the list of
// 100 responses from count 1000000 down (g) against the single response at that count (f):
// the goal is g/f under 1.01, a list costing the steps of its first line alone.
#define OPENSSL_SUPPRESS_DEPRECATED
#include "engine/otp.h"
#include "engine/otp_value.h"
#include "engine/six_words.h"
#include "shell/logic/list_logic.h"

#include <benchmark/benchmark.h>
#include <openssl/md4.h>
#include <openssl/md5.h>
#include <openssl/sha.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr std::int64_t kSteps = 1000;
// Several slices and a part of one.
constexpr std::int64_t kSlicedSteps = 4 * kOtpSliceSteps + 1000;
constexpr std::uint32_t kLongCount = 999999999;
constexpr std::uint32_t kListedCount = 1000000;

enum Kind { kMd4, kMd5, kSha1, kKinds };
enum Variant { kStepLoop, kOneShot, kBlock, kWhole, kSliced, kSingle, kList, kVariants };

// The rows of the ratio table.
const char* const kKindNames[kKinds] = {"MD4", "MD5", "SHA1"};
const HashKind kHashKinds[kKinds] = {HashKind::MD4, HashKind::MD5, HashKind::SHA1};

// Best steps per second of each benchmark, taken per iteration:
// the machine may be busy, and the least disturbed iteration is closest to
// what the code itself costs. Google Benchmark's own figures are averages.
double gRate[kKinds][kVariants];

using Clock = std::chrono::steady_clock;

void Note(Kind kind, Variant variant, Clock::time_point start, std::int64_t steps) {
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (seconds > 0 && static_cast<double>(steps) / seconds > gRate[kind][variant]) {
        gRate[kind][variant] = static_cast<double>(steps) / seconds;
    }
}

void StoreLe32(std::uint8_t* p, std::uint32_t w) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(w >> (8 * i));
}

void FoldDigest(Kind kind, const std::uint8_t* d, std::uint8_t value[8]) {
    if (kind == kSha1) {
        std::uint32_t h[5];
        for (int i = 0; i < 5; ++i) {
            h[i] = static_cast<std::uint32_t>(d[4 * i]) << 24 |
                   static_cast<std::uint32_t>(d[4 * i + 1]) << 16 |
                   static_cast<std::uint32_t>(d[4 * i + 2]) << 8 | d[4 * i + 3];
        }
        StoreLe32(value, h[0] ^ h[2] ^ h[4]);
        StoreLe32(value + 4, h[1] ^ h[3]);
    } else {
        for (int i = 0; i < 8; ++i)
            value[i] = d[i] ^ d[i + 8];
    }
}

void BM_StepLoop(benchmark::State& state, Kind kind) {
    const std::int64_t n = state.range(0);
    std::uint8_t value[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        OtpSteps(kHashKinds[kind], value, static_cast<std::uint32_t>(n));
        benchmark::DoNotOptimize(value);
        Note(kind, kStepLoop, start, n);
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_OneShot(benchmark::State& state, Kind kind) {
    const std::int64_t n = state.range(0);
    std::uint8_t value[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::uint8_t digest[SHA_DIGEST_LENGTH];
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        for (std::int64_t i = 0; i < n; ++i) {
            if (kind == kMd4) {
                MD4(value, 8, digest);
            } else if (kind == kMd5) {
                MD5(value, 8, digest);
            } else {
                SHA1(value, 8, digest);
            }
            FoldDigest(kind, digest, value);
        }
        benchmark::DoNotOptimize(value);
        Note(kind, kOneShot, start, n);
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_Block(benchmark::State& state, Kind kind) {
    const std::int64_t n = state.range(0);
    std::uint8_t block[64] = {1, 2, 3, 4, 5, 6, 7, 8, 0x80};
    MD4_CTX md4;
    MD5_CTX md5;
    SHA_CTX sha1;
    MD4_Init(&md4);
    MD5_Init(&md5);
    SHA1_Init(&sha1);
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        for (std::int64_t i = 0; i < n; ++i) {
            if (kind == kMd4) {
                MD4_Transform(&md4, block);
            } else if (kind == kMd5) {
                MD5_Transform(&md5, block);
            } else {
                SHA1_Transform(&sha1, block);
            }
        }
        benchmark::DoNotOptimize(md4);
        benchmark::DoNotOptimize(md5);
        benchmark::DoNotOptimize(sha1);
        Note(kind, kBlock, start, n);
    }
    state.SetItemsProcessed(state.iterations() * n);
}

// The whole response, in one call (d) or in slices that can be stopped (e).
void BM_Response(benchmark::State& state, Kind kind, Variant variant) {
    const std::int64_t n = state.range(0);
    const auto count = static_cast<std::uint32_t>(n);
    char response[kResponseSize] = {};
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        OtpProgress progress;
        if (variant == kSliced) {
            OtpChain chain{};
            chain.low = chain.high = count;
            ComputeOtpChain(kHashKinds[kind], "test", "This is a test.", chain, progress);
            std::strcpy(response, EncodeSixWords(chain.values[0]));
        } else {
            ComputeOtp(kHashKinds[kind], count, "test", "This is a test.", response);
        }
        benchmark::DoNotOptimize(response);
        Note(kind, variant, start, n);
    }
    state.SetItemsProcessed(state.iterations() * n);
}

// The response at kListedCount (f) and the list of 100 from there down as the List dialog
// computes and shows it (g), one after the other in each iteration, so that both see the same
// machine.
void BM_Listed(benchmark::State& state, Kind kind) {
    char response[kResponseSize] = {};
    static char list[kListTextSize];
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        ComputeOtp(kHashKinds[kind], kListedCount, "test", "This is a test.", response);
        benchmark::DoNotOptimize(response);
        Note(kind, kSingle, start, kListedCount);
        start = Clock::now();
        OtpChain chain = PlanChain(kListedCount, true, 0);
        OtpProgress progress;
        ComputeOtpChain(kHashKinds[kind], "test", "This is a test.", chain, progress);
        FormatList(chain, kChainLimit, false, list, sizeof list);
        benchmark::DoNotOptimize(list);
        Note(kind, kList, start, kListedCount);
    }
    state.SetItemsProcessed(state.iterations() * 2 * kListedCount);
}

void BM_Count999999999(benchmark::State& state, Kind kind) {
    char response[kResponseSize] = {};
    for (auto _ : state) {
        ComputeOtp(kHashKinds[kind], kLongCount, "test", "This is a test.", response);
        benchmark::DoNotOptimize(response);
    }
    state.SetItemsProcessed(state.iterations() * kLongCount);
    state.SetLabel(response);
}

void PrintRatios() {
    std::printf("\n%-6s %14s %14s %14s %14s %14s %7s %7s %7s\n", "kind", "a steps/s", "b steps/s",
                "c steps/s", "d steps/s", "e steps/s", "a/c", "a/b", "e/d");
    for (int k = 0; k < kKinds; ++k) {
        const double* r = gRate[k];
        bool all = true;
        for (int v = 0; v < kSingle; ++v)
            all = all && r[v] > 0;
        if (!all) continue;
        std::printf("%-6s %14.0f %14.0f %14.0f %14.0f %14.0f %7.3f %7.3f %7.3f\n", kKindNames[k],
                    r[kStepLoop], r[kOneShot], r[kBlock], r[kWhole], r[kSliced],
                    r[kStepLoop] / r[kBlock], r[kStepLoop] / r[kOneShot], r[kSliced] / r[kWhole]);
    }
    // Both are kListedCount steps: the ratio of their times is that of the rates.
    std::printf("\n%-6s %14s %14s %7s\n", "kind", "f ms", "g ms", "g/f");
    for (int k = 0; k < kKinds; ++k) {
        const double* r = gRate[k];
        if (r[kSingle] <= 0 || r[kList] <= 0) continue;
        std::printf("%-6s %14.2f %14.2f %7.4f\n", kKindNames[k], 1000.0 * kListedCount / r[kSingle],
                    1000.0 * kListedCount / r[kList], r[kSingle] / r[kList]);
    }
}

} // namespace

// --long adds one run of count 999999999 per kind (minutes, not seconds).
int main(int argc, char** argv) {
    bool withLong = false;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--long") == 0) {
            withLong = true;
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;

    for (int k = 0; k < kKinds; ++k) {
        const Kind kind = static_cast<Kind>(k);
        const std::string name = kKindNames[k];
        benchmark::RegisterBenchmark(("a_StepLoop/" + name).c_str(), BM_StepLoop, kind)
            ->Arg(kSteps);
        benchmark::RegisterBenchmark(("b_OneShot/" + name).c_str(), BM_OneShot, kind)->Arg(kSteps);
        benchmark::RegisterBenchmark(("c_Block/" + name).c_str(), BM_Block, kind)->Arg(kSteps);
        benchmark::RegisterBenchmark(("d_Whole/" + name).c_str(), BM_Response, kind, kWhole)
            ->Arg(kSlicedSteps);
        benchmark::RegisterBenchmark(("e_Sliced/" + name).c_str(), BM_Response, kind, kSliced)
            ->Arg(kSlicedSteps);
        // Enough iterations for the best of each to settle on a busy machine.
        benchmark::RegisterBenchmark(("fg_Listed/" + name).c_str(), BM_Listed, kind)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(4);
    }
    if (withLong) {
        for (int k = 0; k < kKinds; ++k) {
            benchmark::RegisterBenchmark((std::string("Count999999999/") + kKindNames[k]).c_str(),
                                         BM_Count999999999, static_cast<Kind>(k))
                ->Iterations(1)
                ->Unit(benchmark::kSecond)
                ->UseRealTime();
        }
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    PrintRatios();
    benchmark::Shutdown();
    return 0;
}
