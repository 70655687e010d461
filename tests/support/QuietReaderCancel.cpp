// Preloaded into every test process that scans (and the programs it
// starts). SANE's test backend ends its reader thread with an asynchronous
// pthread_cancel at the end of every frame and on every cancel. When the
// cancel lands while the reader is inside free() (its picture buffer, just
// after its last write), the reader dies holding its malloc arena's lock;
// its own exit then frees its thread cache under that lock and waits
// forever, and the front end waits forever in the backend's pthread_join.
//
// Here the cancel does nothing, and the join still returns: the backend
// closes the pipe's reading end before it cancels, so a reader that is not
// done yet fails its next write with EPIPE and returns by itself, and one
// that is done is already leaving.
#include <pthread.h>

extern "C" int pthread_cancel(pthread_t) {
    return 0;
}
