// Storage each thread has its own of. The browser build runs on one thread, and its compiler takes
// thread-local storage only with shared memory, so there it is ordinary storage.
#pragma once

#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
#define PER_THREAD
#else
#define PER_THREAD thread_local
#endif
