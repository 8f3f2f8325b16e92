#pragma once
// Collects what GLib logs at the given levels while it lives, instead of
// printing it: every message in order, and each by its level.

#include <string>
#include <vector>

#include <glib.h>

namespace velkaro::test {

class LogCapture {
public:
  using Lines = std::vector<std::string>;

  explicit LogCapture(GLogLevelFlags levels = static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING |
                                                                          G_LOG_LEVEL_CRITICAL));
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  // The debug lines that begin with prefix.
  Lines debug_from(const std::string& prefix) const;

  // Every captured message, in the order they came.
  Lines messages;
  Lines debug;
  Lines warnings;
  Lines criticals;

private:
  static void on_log(const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer self);

  guint m_id = 0;
};

} // namespace velkaro::test
