#pragma once
// Saves a cairo context's state and restores it when leaving the scope.
// Through the C functions, which never throw (a destructor must not).

#include <cairomm/context.h>

namespace velkaro {

class CairoSaveGuard {
public:
  explicit CairoSaveGuard(const Cairo::RefPtr<Cairo::Context>& cr) : m_cr(cr) { cairo_save(m_cr->cobj()); }
  ~CairoSaveGuard() { cairo_restore(m_cr->cobj()); }
  CairoSaveGuard(const CairoSaveGuard&) = delete;
  CairoSaveGuard& operator=(const CairoSaveGuard&) = delete;

private:
  Cairo::RefPtr<Cairo::Context> m_cr;
};

} // namespace velkaro
