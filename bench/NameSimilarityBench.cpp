// Name score and automatic grouping of one large folder.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "intake/AutoGroupTraverser.h"
#include "intake/NameSimilarity.h"
#include "model/PackItem.h"

namespace {

// Distinct names of minLength to maxLength units over [a-z0-9_], the same on
// every run.
std::vector<std::u16string> RandomNames(size_t count, int minLength = 10, int maxLength = 14) {
    static const char16_t kChars[] = u"abcdefghijklmnopqrstuvwxyz0123456789_";
    std::mt19937 rng(20240607);
    std::uniform_int_distribution<size_t> pick(0, 36);
    std::uniform_int_distribution<int> length(minLength, maxLength);
    std::unordered_set<std::u16string> seen;
    std::vector<std::u16string> names;
    while (names.size() < count) {
        std::u16string name;
        for (int n = length(rng); n > 0; --n)
            name += kChars[pick(rng)];
        if (seen.insert(name).second) names.push_back(name);
    }
    return names;
}

// Distinct names built from a few words and numbers, as in a real collection:
// many share long runs, so few pairs can be ruled out cheaply.
std::vector<std::u16string> WordyNames(size_t count) {
    static const char16_t* const kWords[] = {u"holiday", u"scan",  u"report", u"track", u"IMG",
                                             u"draft",   u"final", u"notes",  u"mix",   u"clip"};
    std::mt19937 rng(77);
    std::uniform_int_distribution<size_t> word(0, 9);
    std::uniform_int_distribution<int> number(0, 99999);
    std::unordered_set<std::u16string> seen;
    std::vector<std::u16string> names;
    while (names.size() < count) {
        std::u16string name = std::u16string(kWords[word(rng)]) + u"_";
        const std::string digits = std::to_string(number(rng));
        name += std::u16string(digits.begin(), digits.end());
        if (seen.insert(name).second) names.push_back(name);
    }
    return names;
}

void BM_NameSimilarity12(benchmark::State& state) {
    const std::vector<std::u16string> names = RandomNames(1024);
    size_t i = 0;
    for (auto _ : state) {
        const std::u16string& a = names[i & 1023];
        const std::u16string& b = names[(i * 7 + 1) & 1023];
        benchmark::DoNotOptimize(NameSimilarity(a, b));
        ++i;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_NameSimilarity12);

void BM_NameSimilaritySimilar12(benchmark::State& state) {
    const std::u16string a = u"holiday_2023", b = u"holiday_2024";
    for (auto _ : state)
        benchmark::DoNotOptimize(NameSimilarity(a, b));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_NameSimilaritySimilar12);

CPackFolderPtr MakeFolder(const std::vector<std::u16string>& names) {
    auto folder = CPackFolder::Create(1, u"/bench", 0);
    uint32_t id = 2;
    for (const auto& name : names) {
        folder->AppendChild(CPackItem::Create(id++, u"/bench/" + name + u".dat", 1));
    }
    return folder;
}

void RunAutoGroup(benchmark::State& state, const std::vector<std::u16string>& names) {
    const CPackFolderPtr folder = MakeFolder(names);
    uint64_t candidates = 0;
    for (auto _ : state) {
        for (auto& child : folder->children)
            child->autoGroupId = NoAutoGroup;
        CAutoGroupTraverser grouping;
        folder->Accept(grouping);
        candidates = grouping.nextCandidate;
    }
    state.counters["candidates"] = static_cast<double>(candidates);
    state.counters["files"] = static_cast<double>(names.size());
}

void BM_AutoGroupRandomFolder(benchmark::State& state) {
    RunAutoGroup(state, RandomNames(static_cast<size_t>(state.range(0))));
}
BENCHMARK(BM_AutoGroupRandomFolder)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_AutoGroupWordyFolder(benchmark::State& state) {
    RunAutoGroup(state, WordyNames(static_cast<size_t>(state.range(0))));
}
BENCHMARK(BM_AutoGroupWordyFolder)->Arg(5000)->Unit(benchmark::kMillisecond);

// The large folder the grouping must handle: 100,000 distinct names of 20 to 60
// units.
void BM_AutoGroupLargeFolder(benchmark::State& state) {
    RunAutoGroup(state, RandomNames(static_cast<size_t>(state.range(0)), 20, 60));
}
BENCHMARK(BM_AutoGroupLargeFolder)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

// How long a cancel takes to stop the grouping of one folder in which every
// name shares runs with thousands of others (the search alone takes minutes).
void BM_AutoGroupCancelLatency(benchmark::State& state) {
    std::mt19937 rng(5);
    std::vector<std::u16string> names;
    std::unordered_set<std::u16string> seen;
    while (names.size() < 40000) {
        std::u16string name;
        for (int n = 0; n < 20; ++n)
            name += rng() % 2 ? u'a' : u'b';
        if (seen.insert(name).second) names.push_back(name);
    }
    const CPackFolderPtr folder = MakeFolder(names);
    double worst = 0;
    for (auto _ : state) {
        for (auto& child : folder->children)
            child->autoGroupId = NoAutoGroup;
        std::atomic<uint32_t> cancel{0};
        std::atomic<int64_t> stoppedAt{0};
        std::thread worker([&] {
            CAutoGroupTraverser grouping(&cancel);
            folder->Accept(grouping);
            stoppedAt.store(std::chrono::steady_clock::now().time_since_epoch().count());
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(state.range(0)));
        const auto cancelledAt = std::chrono::steady_clock::now();
        cancel.store(1);
        worker.join();
        const std::chrono::steady_clock::duration latency(stoppedAt.load() -
                                                          cancelledAt.time_since_epoch().count());
        worst = std::max(worst, std::chrono::duration<double, std::milli>(latency).count());
        state.SetIterationTime(std::chrono::duration<double>(latency).count());
    }
    state.counters["worst_ms"] = worst;
}
BENCHMARK(BM_AutoGroupCancelLatency)
    ->Arg(20)
    ->Arg(500)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// For comparison: scoring every pair of the random folder in full.
void BM_AllPairsFullScore(benchmark::State& state) {
    const std::vector<std::u16string> names = RandomNames(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        size_t above = 0;
        for (size_t i = 0; i + 1 < names.size(); ++i) {
            for (size_t j = i + 1; j < names.size(); ++j) {
                above += NameSimilarity(names[i], names[j]) > kAutoGroupThreshold;
            }
        }
        benchmark::DoNotOptimize(above);
    }
}
BENCHMARK(BM_AllPairsFullScore)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
