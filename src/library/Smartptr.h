#pragma once

#include <memory>

namespace lib {

template <typename T>
using smart_ptr = std::shared_ptr<T>;

} // namespace lib
