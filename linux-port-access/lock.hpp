// A lock for the library's few shared decisions, on the C library's mutex: the library is built
// without exceptions, and std::mutex would bring the C++ runtime's error path into a library that
// otherwise needs none of it.

#ifndef PORT_ACCESS_LOCK_HPP
#define PORT_ACCESS_LOCK_HPP

#include <pthread.h>

namespace port_access {

class Lock {
 public:
  void lock() { pthread_mutex_lock(&mutex_); }
  void unlock() { pthread_mutex_unlock(&mutex_); }

 private:
  pthread_mutex_t mutex_ = PTHREAD_MUTEX_INITIALIZER;
};

}  // namespace port_access

#endif
