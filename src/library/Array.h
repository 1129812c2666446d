#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace lib {

// Growable array whose every indexed access is checked: a bad index is an error the caller
// sees, never a read of foreign memory.
template <typename T>
class array {
public:
    array() = default;
    explicit array(std::size_t count) : items_(count) {}
    array(std::initializer_list<T> items) : items_(items) {}

    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }

    T& operator[](std::size_t index) { return items_[checked(index)]; }
    const T& operator[](std::size_t index) const { return items_[checked(index)]; }

    void push_back(const T& item) { items_.push_back(item); }
    void push_back(T&& item) { items_.push_back(std::move(item)); }
    void resize(std::size_t count) { items_.resize(count); }
    void reserve(std::size_t count) { items_.reserve(count); }
    void clear() { items_.clear(); }

    T* data() { return items_.data(); }
    const T* data() const { return items_.data(); }
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

    bool operator==(const array&) const = default;

private:
    std::size_t checked(std::size_t index) const
    {
        if (index >= items_.size())
            throw std::out_of_range("lib::array index " + std::to_string(index) + " outside 0.."
                                    + std::to_string(items_.size()));
        return index;
    }

    std::vector<T> items_;
};

} // namespace lib
