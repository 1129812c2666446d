#include "library/Array.h"
#include "library/Heavyvector.h"
#include "library/Locker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

TEST(Array, IndexOutsideIsAnError)
{
    lib::array<int> values{1, 2, 3};
    EXPECT_EQ(values[2], 3);
    EXPECT_THROW(values[3], std::out_of_range);
    values.clear();
    EXPECT_THROW(values[0], std::out_of_range);
}

struct Element {
    virtual ~Element() = default;
    virtual int kind() const { return 0; }
    int value = 0;
};
struct Special : Element {
    int kind() const override { return 1; }
};

TEST(HeavyVector, OwnsPolymorphicElementsThatKeepTheirAddress)
{
    lib::heavy_vector<Element> list;
    Element& first = list.emplace_back();
    list.emplace_back<Special>();
    first.value = 7;
    list.resize(100);
    EXPECT_EQ(&list[0], &first);
    EXPECT_EQ(list[0].value, 7);
    EXPECT_EQ(list[1].kind(), 1);
    int sum = 0;
    for (const Element& e : list)
        sum += e.kind();
    EXPECT_EQ(sum, 1);
    list.erase(0);
    EXPECT_EQ(list[0].kind(), 1);
    list.resize(1);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_THROW(list[1], std::out_of_range);
    EXPECT_THROW(list.push_back(nullptr), std::invalid_argument);
}

TEST(LockObject, SameThreadMayLockAgainOtherThreadsWait)
{
    lib::lock_object object;
    int shared = 0;
    {
        const lib::Locker outer(object);
        const lib::Locker inner(object);  // a getter called while holding must not deadlock
        shared = 1;
        std::atomic<bool> taking{false};
        std::thread other([&] {
            taking = true;
            const lib::Locker lock(object);
            shared = 2;
        });
        // Only once the other thread is at the lock does the grace time show a broken one.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!taking && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_TRUE(taking);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(shared, 1);
        // releasing both holds lets the other thread in
        object.unlock();
        object.unlock();
        other.join();
        object.lock();
        object.lock();
    }
    EXPECT_EQ(shared, 2);
}

} // namespace
