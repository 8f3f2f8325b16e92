#pragma once
// A counted box around one value: code that moves values of any type through
// shared references can hold them in a Gen<T>. Construction stores a copy
// (or the moved value); the value is destroyed with the last reference.

#include <memory>
#include <utility>

namespace velkaro {

template <class T>
struct Gen {
  T value;

  static std::shared_ptr<Gen> create(T value) { return std::make_shared<Gen>(Gen{std::move(value)}); }
};

} // namespace velkaro
