#pragma once
// What the parts of bench_cls_large share: the diagrams it works on, each
// planned, saved and exported once in a folder of the run (or the folder
// VELKARO_BENCH_KEEP names, where VELKARO_BENCH_REUSE takes the diagrams
// found as they are), and the names its figures are noted under.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <utility>

#include <benchmark/benchmark.h>
#include <glib.h>

#include "cls_diagram.h"

namespace velkaro::bench {

// A diagram: its placement and size.
using ClsKey = std::pair<ClsPlacement, int>;

inline ClsKey cls_key_of(const benchmark::State& state, ClsPlacement placement)
{
  return {placement, static_cast<int>(state.range(0))};
}

// The figures of one placement are noted under "<figure>, <placement>".
inline std::string cls_figure(const char* name, ClsPlacement placement)
{
  return std::string(name) + ", " + cls_placement_name(placement);
}

class ClsDiagrams {
public:
  static ClsDiagrams& get()
  {
    static ClsDiagrams diagrams;
    return diagrams;
  }

  const ClsDiagramPlan& plan(const ClsKey& key)
  {
    auto it = m_plans.find(key);
    if (it == m_plans.end())
      it = m_plans.emplace(key, cls_plan_diagram(key.second, key.first)).first;
    return it->second;
  }

  // The saved diagram; "" when it could not be written.
  const std::string& path(const ClsKey& key)
  {
    auto it = m_paths.find(key);
    if (it != m_paths.end())
      return it->second;
    const std::string p = stem(key) + ".xml";
    if (m_keep && std::getenv("VELKARO_BENCH_REUSE") && std::filesystem::exists(p))
      return m_paths.emplace(key, p).first->second;
    std::string error;
    if (!cls_write_diagram(plan(key), p, error)) {
      std::fprintf(stderr, "cannot write %s: %s\n", p.c_str(), error.c_str());
      return m_paths.emplace(key, "").first->second;
    }
    return m_paths.emplace(key, p).first->second;
  }
  // Where an export of the diagram goes; suffix tells exports apart.
  std::string out(const ClsKey& key, const char* suffix = "") const { return stem(key) + suffix + ".png"; }

  ~ClsDiagrams()
  {
    std::error_code ec;
    if (!m_keep)
      std::filesystem::remove_all(m_dir, ec);
  }
  ClsDiagrams(const ClsDiagrams&) = delete;
  ClsDiagrams& operator=(const ClsDiagrams&) = delete;

private:
  ClsDiagrams()
  {
    if (const char* keep = std::getenv("VELKARO_BENCH_KEEP"); keep && *keep) {
      m_dir = keep;
      m_keep = true;
      std::filesystem::create_directories(m_dir);
      return;
    }
    char* dir = g_dir_make_tmp("velkaro-bench-XXXXXX", nullptr);
    m_dir = dir ? dir : ".";
    g_free(dir);
  }

  std::string stem(const ClsKey& key) const
  {
    return m_dir + "/cls-" + cls_placement_name(key.first) + "-" + std::to_string(key.second);
  }

  std::string m_dir;
  bool m_keep = false;
  std::map<ClsKey, ClsDiagramPlan> m_plans;
  std::map<ClsKey, std::string> m_paths;
};

} // namespace velkaro::bench
