#pragma once

#include "library/Lockobject.h"

namespace lib {

// Scoped hold of a lock_object; the only way program code takes one for a stretch.
class Locker {
public:
    explicit Locker(lock_object& object) : object_(object) { object_.lock(); }
    ~Locker() { object_.unlock(); }
    Locker(const Locker&) = delete;
    Locker& operator=(const Locker&) = delete;

private:
    lock_object& object_;
};

} // namespace lib
