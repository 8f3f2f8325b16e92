#include "support/log_capture.h"

namespace velkaro::test {

LogCapture::LogCapture(GLogLevelFlags levels) { m_id = g_log_set_handler(nullptr, levels, &LogCapture::on_log, this); }

LogCapture::~LogCapture() { g_log_remove_handler(nullptr, m_id); }

LogCapture::Lines LogCapture::debug_from(const std::string& prefix) const
{
  Lines lines;
  for (const auto& line : debug)
    if (line.rfind(prefix, 0) == 0)
      lines.push_back(line);
  return lines;
}

void LogCapture::on_log(const gchar*, GLogLevelFlags level, const gchar* message, gpointer self)
{
  auto* capture = static_cast<LogCapture*>(self);
  const std::string text = message ? message : "";
  capture->messages.push_back(text);
  Lines& lines = level & G_LOG_LEVEL_WARNING    ? capture->warnings
                 : level & G_LOG_LEVEL_CRITICAL ? capture->criticals
                                                : capture->debug;
  lines.push_back(text);
}

} // namespace velkaro::test
