#include <new>
#include <unordered_set>

#include "ai/ai.h"
#include "card/card.h"

namespace {

// Every live card, character and AI. Card and Character are single-inheritance roots, so the pointer
// operator new hands out is also the pointer to the Card or Character sub-object.
template <class Base>
struct LiveSet {
    std::unordered_set<void*> live;
    bool sweeping = false;

    ~LiveSet() { sweep(); }

    void sweep() {
        sweeping = true;
        std::unordered_set<void*> doomed;
        doomed.swap(live);
        for (void* p : doomed) delete static_cast<Base*>(p);
        sweeping = false;
    }

    void* allocate(std::size_t size) {
        void* raw = ::operator new(size);
        live.insert(raw);
        return raw;
    }

    void release(void* p) {
        if (!sweeping) live.erase(p);
        ::operator delete(p);
    }
};

LiveSet<Card>& cards() {
    static LiveSet<Card> set;
    return set;
}

LiveSet<Character>& characters() {
    static LiveSet<Character> set;
    return set;
}

LiveSet<AI>& opponents() {
    static LiveSet<AI> set;
    return set;
}

} // namespace

void* Card::operator new(std::size_t size) { return cards().allocate(size); }
void Card::operator delete(void* p) noexcept {
    if (p) cards().release(p);
}

void* Character::operator new(std::size_t size) { return characters().allocate(size); }
void Character::operator delete(void* p) noexcept {
    if (p) characters().release(p);
}

void* AI::operator new(std::size_t size) { return opponents().allocate(size); }
void AI::operator delete(void* p) noexcept {
    if (p) opponents().release(p);
}

void reclaimMatchObjects() {
    cards().sweep();
    characters().sweep();
    opponents().sweep();
}

std::size_t matchObjectCount() {
    return cards().live.size() + characters().live.size() + opponents().live.size();
}
