#include "reader_fuzz.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <glib.h>
#include <pangomm/init.h>

namespace {

// Hostile documents make the reader log by design (a refused parent link, an
// element without a required attribute); thousands of runs a second would
// drown the fuzzer's own report.
void velkaro_fuzz_quiet_log(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}
GLogWriterOutput velkaro_fuzz_quiet_writer(GLogLevelFlags, const GLogField*, gsize, gpointer)
{
  return G_LOG_WRITER_HANDLED;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
  // The model measures texts through pangomm's wrappers.
  Pango::init();
  g_log_set_default_handler(&velkaro_fuzz_quiet_log, nullptr);
  g_log_set_writer_func(&velkaro_fuzz_quiet_writer, nullptr, nullptr);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::string problem =
      velkaro::fuzz::check_input(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!problem.empty()) {
    std::fprintf(stderr, "velkaro fuzz: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
