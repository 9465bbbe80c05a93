// Where cards, characters and AIs live: the match pool of the real match, or the arena of a
// simulation running on this thread.
#pragma once

#include <cstddef>
#include <vector>

// Every card, character and AI is allocated through the match pool, so that a finished match's
// objects can all be given back at once and none before (nothing is freed during a match).
// The class-specific operator new and delete of those classes call these; `destroy` runs the
// object's destructor when the pool or arena gives it back.
void* poolAllocate(std::size_t size, void (*destroy)(void*));
void poolRelease(void* p) noexcept;
template <class T>
void destroyAs(void* p) {
    static_cast<T*>(p)->~T();
}

// Frees every card, character and AI alive. Only safe when no operation of those objects is
// running: at the start of a match, or when the program ends. Under an ArenaScope it frees the
// arena's objects instead.
void reclaimMatchObjects();
// Number of cards, characters and AIs alive (for tests and the memory figures); under an
// ArenaScope, those of the arena.
std::size_t matchObjectCount();

// Where the objects of simulated matches live: positions tried by a search, or whole matches played
// without a screen. Allocation is a pointer bump; reset() destroys every object made in it and
// keeps the memory for the next use, so memory stays flat however many positions are tried, and the
// match pool (which frees nothing during a match) never sees them. One arena serves one thread.
class ObjectArena {
public:
    ObjectArena() = default;
    ~ObjectArena();
    ObjectArena(const ObjectArena&) = delete;
    ObjectArena& operator=(const ObjectArena&) = delete;

    void* allocate(std::size_t size, void (*destroy)(void*));
    bool owns(const void* p) const;
    // Destroys every object made since the last reset, newest first.
    void reset();
    std::size_t objectCount() const { return made.size(); }
    std::size_t reservedBytes() const;

private:
    struct Block {
        char* bytes;
        std::size_t size;
    };
    struct Made {
        void* object;
        void (*destroy)(void*);
    };
    std::vector<Block> blocks;
    std::size_t current = 0; // the block being filled
    std::size_t used = 0;    // bytes of it taken
    std::vector<Made> made;
};

// While alive, every card, character and AI made on this thread comes from `arena` (scopes nest).
class ArenaScope {
public:
    explicit ArenaScope(ObjectArena& arena);
    ~ArenaScope();
    ArenaScope(const ArenaScope&) = delete;
    ArenaScope& operator=(const ArenaScope&) = delete;

private:
    ObjectArena* previous;
};
