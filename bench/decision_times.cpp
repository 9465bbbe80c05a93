// How long the strong opponent thinks before each of its actions, as the game plays it (its
// in-game budget, giving the window or the page its turn while it thinks): whole silent matches
// against the standard player; the median and the worst of the actions it searched for. A plain
// program, so that the same runs natively and as WebAssembly under Node (scripts/bench_web.sh).
//   bench_decision_times [matches]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "ai/policies.h"
#include "game/driver.h"
#include "game/game.h"
#include "game/presenter.h"

namespace {

// The strong opponent, each of its decisions noted.
struct Noted : Policy {
    StrongPolicy& strong;
    std::vector<long long> searched; // milliseconds of each decision it searched for
    int actions = 0;

    explicit Noted(StrongPolicy& s) : strong(s) {}
    Action choose(Game& game) override {
        Action a = strong.choose(game);
        ++actions;
        if (strong.lastSearch().iterations > 0) searched.push_back(strong.lastSearch().milliseconds);
        return a;
    }
    int pick(Game& game, bool camp) override { return strong.pick(game, camp); }
};

} // namespace

int main(int argc, char** argv) {
    int matches = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    std::unique_ptr<Policy> policy = opponentPolicy(Opponent::STRONG);
    Noted noted(static_cast<StrongPolicy&>(*policy));
    for (int k = 1; k <= matches; ++k) {
        StandardPolicy player;
        SilentPresenter presenter(player);
        Game game;
        game.presenter = &presenter;
        game.opponent = &noted;
        playMatch(&game, (unsigned)k);
    }
    std::vector<long long>& t = noted.searched;
    if (t.empty()) return std::puts("the strong opponent searched for no action"), 1;
    std::sort(t.begin(), t.end());
    std::printf("%d matches, %d actions of the strong opponent, %zu searched: median %lld ms, worst %lld ms\n", matches,
                noted.actions, t.size(), t[t.size() / 2], t.back());
    return 0;
}
