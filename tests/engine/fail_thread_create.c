/*
 * Preloaded into a test program: makes one pthread_create fail with EAGAIN, as when a
 * system runs out of threads. TESRAL_FAIL_THREAD_CREATE=N fails the Nth call of the
 * program; a test may instead call tesral_fail_thread_create(n) to fail the nth call from
 * then on (found with dlsym; absent when the library is not preloaded).
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <pthread.h>
#include <stdatomic.h>
#include <stdlib.h>

typedef int (*CreateFunction)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

static atomic_long calls;
static atomic_long failingCall = -1;

__attribute__((constructor)) static void readEnvironment(void) {
    const char* text = getenv("TESRAL_FAIL_THREAD_CREATE");
    if (text) failingCall = atol(text);
}

void tesral_fail_thread_create(long nth) {
    failingCall = calls + nth;
}

int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*),
                   void* argument) {
    static CreateFunction real;
    if (!real) *(void**)(&real) = dlsym(RTLD_NEXT, "pthread_create");
    if (++calls == failingCall) return EAGAIN;
    return real(thread, attributes, start, argument);
}
