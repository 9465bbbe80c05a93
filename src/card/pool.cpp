// Where cards, characters and AIs live: the match pool of the real match, or the arena of a
// simulation running on this thread.
#include <algorithm>
#include <new>
#include <unordered_map>

#include "card/card.h"
#include "platform/per_thread.h"

namespace {

// Every live object of the match pool, with what destroys it. Card and Character are
// single-inheritance roots, so the pointer operator new hands out is also the pointer to the Card
// or Character sub-object.
struct MatchPool {
    std::unordered_map<void*, void (*)(void*)> live;
    bool sweeping = false;

    ~MatchPool() { sweep(); }

    void sweep() {
        sweeping = true;
        std::unordered_map<void*, void (*)(void*)> doomed;
        doomed.swap(live);
        for (auto [p, destroy] : doomed) {
            destroy(p);
            ::operator delete(p);
        }
        sweeping = false;
    }
};

MatchPool& matchPool() {
    static MatchPool pool;
    return pool;
}

PER_THREAD ObjectArena* activeArena = nullptr;

constexpr std::size_t BLOCK_BYTES = 64 * 1024;
constexpr std::size_t ALIGNMENT = alignof(std::max_align_t);

} // namespace

ObjectArena::~ObjectArena() {
    reset();
    for (Block& b : blocks) ::operator delete(b.bytes);
}

void* ObjectArena::allocate(std::size_t size, void (*destroy)(void*)) {
    size = (size + ALIGNMENT - 1) / ALIGNMENT * ALIGNMENT;
    while (current < blocks.size() && used + size > blocks[current].size) {
        ++current;
        used = 0;
    }
    if (current == blocks.size()) {
        std::size_t bytes = std::max(BLOCK_BYTES, size);
        blocks.push_back({static_cast<char*>(::operator new(bytes)), bytes});
        used = 0;
    }
    void* p = blocks[current].bytes + used;
    used += size;
    made.push_back({p, destroy});
    return p;
}

bool ObjectArena::owns(const void* p) const {
    const char* c = static_cast<const char*>(p);
    return std::any_of(blocks.begin(), blocks.end(),
                       [c](const Block& b) { return c >= b.bytes && c < b.bytes + b.size; });
}

void ObjectArena::reset() {
    for (auto it = made.rbegin(); it != made.rend(); ++it) it->destroy(it->object);
    made.clear();
    current = 0;
    used = 0;
}

std::size_t ObjectArena::reservedBytes() const {
    std::size_t total = 0;
    for (const Block& b : blocks) total += b.size;
    return total;
}

ArenaScope::ArenaScope(ObjectArena& arena) : previous(activeArena) { activeArena = &arena; }
ArenaScope::~ArenaScope() { activeArena = previous; }

void* poolAllocate(std::size_t size, void (*destroy)(void*)) {
    if (activeArena) return activeArena->allocate(size, destroy);
    void* raw = ::operator new(size);
    matchPool().live.emplace(raw, destroy);
    return raw;
}

// An arena's objects are destroyed by its reset, never one by one.
void poolRelease(void* p) noexcept {
    if (!p || (activeArena && activeArena->owns(p))) return;
    if (!matchPool().sweeping) matchPool().live.erase(p);
    ::operator delete(p);
}

void* Card::operator new(std::size_t size) { return poolAllocate(size, destroyAs<Card>); }
void Card::operator delete(void* p) noexcept { poolRelease(p); }

void* Character::operator new(std::size_t size) { return poolAllocate(size, destroyAs<Character>); }
void Character::operator delete(void* p) noexcept { poolRelease(p); }

void reclaimMatchObjects() {
    if (activeArena) return activeArena->reset();
    matchPool().sweep();
}

std::size_t matchObjectCount() {
    if (activeArena) return activeArena->objectCount();
    return matchPool().live.size();
}
