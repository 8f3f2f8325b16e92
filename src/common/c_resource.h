#pragma once
// Ownership of C resources: a unique_ptr whose deleter is the C library's
// release function, and a guard for paired begin/end calls.

#include <memory>
#include <utility>

#include <glib.h>

namespace velkaro {

// Deleter calling Release on a non-null pointer.
template <auto Release>
struct CReleaser {
  template <class T>
  void operator()(T* p) const
  {
    if (p)
      Release(p);
  }
};

// CPtr<xmlTextWriter, xmlFreeTextWriter> owns a writer; CPtr<char, g_free> a string.
template <class T, auto Release>
using CPtr = std::unique_ptr<T, CReleaser<Release>>;

using GCharPtr = CPtr<char, g_free>;

// Runs its function when it leaves scope, unless dismissed.
template <class F>
class ScopeGuard {
public:
  explicit ScopeGuard(F fn) : m_fn(std::move(fn)) {}
  ~ScopeGuard()
  {
    if (m_active)
      m_fn();
  }
  ScopeGuard(const ScopeGuard&) = delete;
  ScopeGuard& operator=(const ScopeGuard&) = delete;

  void dismiss() { m_active = false; }

private:
  F m_fn;
  bool m_active = true;
};

} // namespace velkaro
