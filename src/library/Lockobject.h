#pragma once

#include <mutex>

namespace lib {

// An unnamed mutex. Recursive, as the mutex it stands for was: a holder that calls a getter
// which locks again must not deadlock itself.
class lock_object {
public:
    lock_object() = default;
    lock_object(const lock_object&) = delete;
    lock_object& operator=(const lock_object&) = delete;
    virtual ~lock_object() = default;

    void lock() { mutex_.lock(); }
    void unlock() { mutex_.unlock(); }

private:
    std::recursive_mutex mutex_;
};

} // namespace lib
