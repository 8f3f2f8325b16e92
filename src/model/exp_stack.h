#pragma once
// ModelExpStack: the elements that cover one cell, in the order they were
// added (the expansion order of the element cells). Shared by counted
// reference between the expanded cells and whoever asks for the stack at a
// cell; it holds a reference to each of its elements.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "common/any.h"
#include "model/element.h"

namespace velkaro {

class ModelExpStack : public std::enable_shared_from_this<ModelExpStack> {
public:
  using ElementPtr = std::shared_ptr<ModelElement>;

  static std::shared_ptr<ModelExpStack> create() { return std::make_shared<ModelExpStack>(); }

  // Appends elm; returns the stack.
  std::shared_ptr<ModelExpStack> add(const ElementPtr& elm);
  // Every element in order; cannot be stopped.
  void foreach(const std::function<void(const ElementPtr&)>& fn) const;
  // elm itself (identity) is in the stack.
  bool has_elm(const ModelElement& elm) const;

  // The elements that are a T (or derive from it) with that role; ANY_ROLE
  // accepts every role.
  template <class T>
  std::vector<std::shared_ptr<T>> extract(int32_t role) const;
  // The first element extract() would give, or null.
  template <class T>
  std::shared_ptr<T> seek(int32_t role) const;

  int32_t get_length() const { return static_cast<int32_t>(m_elms.size()); }
  const std::vector<ElementPtr>& get_data() const { return m_elms; }
  // The first element, or null.
  ElementPtr get_a_elm() const { return m_elms.empty() ? nullptr : m_elms.front(); }
  // Some element has its mono flag set.
  bool get_mono() const;
  // The last element with its mono flag set, or null.
  ElementPtr get_mono_elm() const;
  // The elements whose get_resizable() is true, in order.
  std::vector<ElementPtr> get_resizable_elms() const;

private:
  std::vector<ElementPtr> m_elms;
};

template <class T>
std::vector<std::shared_ptr<T>> ModelExpStack::extract(int32_t role) const
{
  std::vector<std::shared_ptr<T>> found;
  for (const auto& e : m_elms)
    if (auto t = std::dynamic_pointer_cast<T>(e); t && (role == ANY_ROLE || e->get_role() == role))
      found.push_back(std::move(t));
  return found;
}

template <class T>
std::shared_ptr<T> ModelExpStack::seek(int32_t role) const
{
  for (const auto& e : m_elms)
    if (auto t = std::dynamic_pointer_cast<T>(e); t && (role == ANY_ROLE || e->get_role() == role))
      return t;
  return nullptr;
}

} // namespace velkaro
