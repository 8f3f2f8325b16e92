#include "model/exp_stack.h"

#include <algorithm>

#include "common/check.h"

namespace velkaro {

std::shared_ptr<ModelExpStack> ModelExpStack::add(const ElementPtr& elm)
{
  VK_CHECK_VAL(elm != nullptr, shared_from_this());
  m_elms.push_back(elm);
  return shared_from_this();
}

void ModelExpStack::foreach(const std::function<void(const ElementPtr&)>& fn) const
{
  for (const auto& e : m_elms)
    fn(e);
}

bool ModelExpStack::has_elm(const ModelElement& elm) const
{
  return std::any_of(m_elms.begin(), m_elms.end(), [&](const ElementPtr& e) { return e.get() == &elm; });
}

bool ModelExpStack::get_mono() const
{
  return std::any_of(m_elms.begin(), m_elms.end(), [](const ElementPtr& e) { return e->mono; });
}

ModelExpStack::ElementPtr ModelExpStack::get_mono_elm() const
{
  for (auto it = m_elms.rbegin(); it != m_elms.rend(); ++it)
    if ((*it)->mono)
      return *it;
  return nullptr;
}

std::vector<ModelExpStack::ElementPtr> ModelExpStack::get_resizable_elms() const
{
  std::vector<ElementPtr> found;
  std::copy_if(m_elms.begin(), m_elms.end(), std::back_inserter(found),
               [](const ElementPtr& e) { return e->get_resizable(); });
  return found;
}

} // namespace velkaro
