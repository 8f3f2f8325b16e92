#pragma once
// Lets code holding an object through a general type reach it as the
// concrete class it knows the object to be (a mode reaching its diagram
// kind's context, for instance).

#include <cassert>

namespace velkaro {

class IGen {
public:
  virtual ~IGen() = default;

  // The object itself as T; T must be what the object really is.
  template <class T>
  T& get_c()
  {
    auto* t = dynamic_cast<T*>(this);
    assert(t && "IGen::get_c: object is not of the requested class");
    return *t;
  }
};

} // namespace velkaro
