// The arena: whole matches played without a screen between two policies, one for each seat, and
// how each seat fared.
//   cardbattle-arena --matches 10000 --player standard --opponent standard --seed 1 --jobs 2
//   cardbattle-arena --matches 2000 --player standard --opponent strong --iterations 3000 --budget-ms 300
// Match k is played from a seed made of the run's seed and k, whatever thread plays it, and a strong
// policy searches from a seed made of that one, so the same run prints the same figures (but the
// times) as long as the iterations, not the time, bound its decisions.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ai/policies.h"
#include "game/driver.h"
#include "game/game.h"
#include "game/presenter.h"
#include "game/simulator.h"
#include "resident_memory.h"

namespace {

// A match still undecided after this many full turns is stopped and counted a draw: two policies
// may keep passing for ever.
constexpr int TURN_LIMIT = 200;

struct Setup {
    long matches = 1000;
    std::string player = "standard", opponent = "standard";
    unsigned long long seed = 1;
    int jobs = 1;
    StrongSettings strong;
};

// How long a searching seat's decisions took (the others' cost nothing worth keeping).
struct Decisions {
    std::vector<float> ms, cpuMs; // on the wall clock, and the thread's own processor time
    long timeRanOut = 0;

    void add(const Decisions& d) {
        ms.insert(ms.end(), d.ms.begin(), d.ms.end());
        cpuMs.insert(cpuMs.end(), d.cpuMs.begin(), d.cpuMs.end());
        timeRanOut += d.timeRanOut;
    }
};

struct Tally {
    long played = 0, playerWins = 0, opponentWins = 0, draws = 0;
    long long turns = 0;
    Decisions seat[2];

    void add(const Tally& t) {
        played += t.played;
        playerWins += t.playerWins;
        opponentWins += t.opponentWins;
        draws += t.draws;
        turns += t.turns;
        for (int i = 0; i < 2; ++i) seat[i].add(t.seat[i]);
    }
};

double threadCpuMs() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// A seat's policy, timed at every decision when it searches.
class TimedPolicy : public Policy {
public:
    TimedPolicy(std::unique_ptr<Policy> policy, Decisions& decisions)
        : policy(std::move(policy)), search(dynamic_cast<StrongPolicy*>(this->policy.get())), decisions(decisions) {}
    Action choose(Game& game) override {
        if (!search) return policy->choose(game);
        auto start = std::chrono::steady_clock::now();
        double cpuStart = threadCpuMs();
        Action action = policy->choose(game);
        decisions.ms.push_back(
            std::chrono::duration<float, std::milli>(std::chrono::steady_clock::now() - start).count());
        decisions.cpuMs.push_back((float)(threadCpuMs() - cpuStart));
        decisions.timeRanOut += search->lastSearch().timeRanOut;
        return action;
    }
    int pick(Game& game, bool camp) override { return policy->pick(game, camp); }

private:
    std::unique_ptr<Policy> policy;
    StrongPolicy* search;
    Decisions& decisions;
};

const char* const USAGE = "usage: cardbattle-arena [--matches N] [--player POLICY] [--opponent POLICY] [--seed S] "
                          "[--jobs J] [--iterations N] [--budget-ms MS]\n"
                          "policies: standard, random, strong (at most N iterations and MS milliseconds per "
                          "action)\n";

bool readOption(const std::string& arg, const char* name, std::string& value) {
    std::string prefix = std::string(name) + "=";
    if (arg.rfind(prefix, 0) != 0) return false;
    value = arg.substr(prefix.size());
    return true;
}

// Options as --name=value or --name value.
bool readSetup(int argc, char** argv, Setup& s) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.find('=') == std::string::npos && i + 1 < argc && arg.rfind("--", 0) == 0)
            arg += std::string("=") + argv[++i];
        args.push_back(arg);
    }
    try {
        for (const std::string& arg : args) {
            std::string v;
            if (readOption(arg, "--matches", v)) s.matches = std::stol(v);
            else if (readOption(arg, "--player", v)) s.player = v;
            else if (readOption(arg, "--opponent", v)) s.opponent = v;
            else if (readOption(arg, "--seed", v)) s.seed = std::stoull(v);
            else if (readOption(arg, "--jobs", v)) s.jobs = std::stoi(v);
            else if (readOption(arg, "--iterations", v)) s.strong.iterations = std::stoi(v);
            else if (readOption(arg, "--budget-ms", v)) s.strong.milliseconds = std::stoi(v);
            else return false;
        }
    } catch (const std::exception&) {
        return false;
    }
    return s.matches > 0 && s.jobs > 0 && s.strong.iterations > 0 && s.strong.milliseconds > 0 &&
           policyNamed(s.player) && policyNamed(s.opponent);
}

unsigned matchSeedOf(unsigned long long seed, long match) {
    RandomStream mix(seed * 0x9E3779B97F4A7C15ull + (unsigned long long)match);
    return mix.next();
}

struct Run {
    explicit Run(const Setup& s) : setup(s) {}
    const Setup& setup;
    std::atomic<long> next{0};
    std::mutex lock;
    Tally total;
    long memoryAtThousand = -1;

    std::unique_ptr<Policy> seatPolicy(const std::string& name, unsigned matchSeed, int seat) const {
        StrongSettings strong = setup.strong;
        strong.seed = (uint64_t)matchSeed << 1 | seat;
        return policyNamed(name, strong);
    }

    void worker() {
        SimulationScope scope; // this thread's matches: their own objects and random picks
        Game game;
        Tally mine;
        for (long k; (k = next++) < setup.matches;) {
            // Fresh policies for every match: nothing of one match steers the next.
            unsigned seed = matchSeedOf(setup.seed, k);
            TimedPolicy player(seatPolicy(setup.player, seed, 0), mine.seat[0]);
            TimedPolicy opponent(seatPolicy(setup.opponent, seed, 1), mine.seat[1]);
            SilentPresenter presenter(player, TURN_LIMIT);
            game.presenter = &presenter;
            game.opponent = &opponent;
            playMatch(&game, seed);
            int winner = simulator::winner(game);
            ++mine.played;
            mine.turns += game.battle.turn;
            (winner == 0 ? mine.playerWins : winner == 1 ? mine.opponentWins : mine.draws)++;
            if (k == 999) memoryAtThousand = residentKiB();
        }
        reclaimMatchObjects();
        std::lock_guard<std::mutex> hold(lock);
        total.add(mine);
    }
};

// The share with its 95 % interval (Wilson's), in percent.
void printRate(const char* seat, long wins, long losses, long draws, long n) {
    double p = (double)wins / n, z = 1.96, z2 = z * z;
    double centre = (p + z2 / (2 * n)) / (1 + z2 / n);
    double half = z * std::sqrt(p * (1 - p) / n + z2 / (4.0 * n * n)) / (1 + z2 / n);
    std::printf("%-9s %8ld %8ld %8ld   %5.1f %%  (%.1f to %.1f)\n", seat, wins, losses, draws, 100 * p,
                100 * (centre - half), 100 * (centre + half));
}

void printDecisions(const char* seat, Decisions& d) {
    if (d.ms.empty()) return;
    std::sort(d.ms.begin(), d.ms.end());
    std::sort(d.cpuMs.begin(), d.cpuMs.end());
    std::printf("%s decisions: %zu, per action median %.1f ms, worst %.1f ms (processor time %.1f and %.1f ms); "
                "time ran out in %ld\n",
                seat, d.ms.size(), d.ms[d.ms.size() / 2], d.ms.back(), d.cpuMs[d.cpuMs.size() / 2], d.cpuMs.back(),
                d.timeRanOut);
}

} // namespace

int main(int argc, char** argv) {
    Setup setup;
    if (!readSetup(argc, argv, setup)) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    Run run(setup);
    auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (int j = 0; j < setup.jobs; ++j) threads.emplace_back([&run] { run.worker(); });
    for (std::thread& t : threads) t.join();
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    Tally& t = run.total;
    std::printf("%ld matches: player %s against opponent %s, seed %llu, %d job%s\n", t.played, setup.player.c_str(),
                setup.opponent.c_str(), setup.seed, setup.jobs, setup.jobs == 1 ? "" : "s");
    std::printf("%-9s %8s %8s %8s   %s\n", "seat", "wins", "losses", "draws", "win rate (95 % interval)");
    printRate("player", t.playerWins, t.opponentWins, t.draws, t.played);
    printRate("opponent", t.opponentWins, t.playerWins, t.draws, t.played);
    std::printf("mean turns: %.2f\n", (double)t.turns / t.played);
    printDecisions("player", t.seat[0]);
    printDecisions("opponent", t.seat[1]);
    std::printf("time: %.2f s, %.0f matches per second\n", seconds, t.played / seconds);
    long now = residentKiB();
    if (run.memoryAtThousand >= 0)
        std::printf("resident memory: %ld KiB after 1,000 matches, %ld KiB after %ld\n", run.memoryAtThousand, now,
                    t.played);
    else if (now >= 0)
        std::printf("resident memory: %ld KiB after %ld matches\n", now, t.played);
    return 0;
}
