#pragma once

#include <boost/iterator/indirect_iterator.hpp>

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

namespace lib {

// Ordered list of owned, possibly polymorphic elements; elements keep their address while the
// list grows, so observers may hold references to them.
template <typename T>
class heavy_vector {
    using Storage = std::vector<std::unique_ptr<T>>;

public:
    using iterator = boost::indirect_iterator<typename Storage::iterator>;
    using const_iterator = boost::indirect_iterator<typename Storage::const_iterator, const T>;

    heavy_vector() = default;
    heavy_vector(heavy_vector&&) noexcept = default;
    heavy_vector& operator=(heavy_vector&&) noexcept = default;

    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }

    T& operator[](std::size_t index) { return *items_.at(index); }
    const T& operator[](std::size_t index) const { return *items_.at(index); }

    T& push_back(std::unique_ptr<T> item)
    {
        if (!item)
            throw std::invalid_argument("lib::heavy_vector takes no null element");
        items_.push_back(std::move(item));
        return *items_.back();
    }

    template <typename U = T, typename... Args>
    U& emplace_back(Args&&... args)
    {
        auto item = std::make_unique<U>(std::forward<Args>(args)...);
        U& added = *item;
        items_.push_back(std::move(item));
        return added;
    }

    // New elements are default-constructed; only for lists of one concrete type.
    void resize(std::size_t count)
    {
        if (count < items_.size()) {
            items_.resize(count);
            return;
        }
        items_.reserve(count);
        while (items_.size() < count)
            items_.push_back(std::make_unique<T>());
    }

    void erase(std::size_t index) { items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(checked(index))); }
    void clear() { items_.clear(); }

    iterator begin() { return iterator(items_.begin()); }
    iterator end() { return iterator(items_.end()); }
    const_iterator begin() const { return const_iterator(items_.begin()); }
    const_iterator end() const { return const_iterator(items_.end()); }

private:
    std::size_t checked(std::size_t index) const
    {
        if (index >= items_.size())
            throw std::out_of_range("lib::heavy_vector index outside the list");
        return index;
    }

    Storage items_;
};

} // namespace lib
