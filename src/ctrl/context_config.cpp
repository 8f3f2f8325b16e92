// CtrlContext: the settings of the group "general" and the store's files.

#include <algorithm>
#include <iterator>

#include "ctrl/context.h"
#include "model/store.h"

namespace velkaro {

std::string CtrlContext::config(const std::string& key)
{
  if (auto value = m_store->get_value(key, ModelStore::GENERAL))
    return *value;
  const bool default_true =
    std::find(std::begin(DEFAULT_TRUE_KEYS), std::end(DEFAULT_TRUE_KEYS), key) != std::end(DEFAULT_TRUE_KEYS);
  return default_true ? "true" : "false";
}

void CtrlContext::save_config(const std::string& key, const std::string& value)
{
  m_store->save_value(key, value, ModelStore::GENERAL);
}

void CtrlContext::relay_config_changed(const std::string& group, const std::string& key,
                                       const std::optional<std::string>& value)
{
  // The other groups hold the handlers' key bindings, which are not settings.
  if (group == ModelStore::GENERAL)
    m_signal_config_changed.emit(key, value);
}

bool CtrlContext::save_data(const std::string& key, const std::string& value) { return m_store->save_data(key, value); }

bool CtrlContext::save_cache(const std::string& key, const std::string& value)
{
  return m_store->save_cache(key, value);
}

std::string CtrlContext::data(const std::string& key) const { return m_store->read_data(key); }

} // namespace velkaro
