#pragma once
// What the benchmarks that time their runs one by one share: a clock, the
// times of every run noted by figure and column (a document size, a grid),
// their medians, the table printed after the benchmarks, and the run of the
// benchmarks the command line selects.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace velkaro::bench {

using Clock = std::chrono::steady_clock;

inline double ms_since(Clock::time_point start)
{
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Per-run times in milliseconds, by figure and column.
using Runs = std::map<std::string, std::map<int, std::vector<double>>>;

inline Runs& runs()
{
  static Runs all;
  return all;
}

inline void note(const std::string& figure, int column, double ms)
{
  runs()[figure][column].push_back(ms);
}

inline double median(std::vector<double> v)
{
  if (v.empty())
    return 0.0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The table of runs(): a line per figure, the median of each column with
// its ratio to the column base (base itself without one).
struct RunsTable {
  struct Column {
    int key;
    std::string label;
  };
  // The line above the table, and the label of its corner.
  const char* title;
  const char* corner;
  std::vector<Column> columns;
  int base;
  // Decimals of the medians and of the ratios.
  int decimals;
  int ratio_decimals;
};

inline void print_runs_table(const RunsTable& t)
{
  std::printf("\n%s\n", t.title);
  std::printf("%-34s", t.corner);
  for (const RunsTable::Column& c : t.columns)
    std::printf(" %18s", c.label.c_str());
  std::printf("\n");
  for (const auto& [name, by_column] : runs()) {
    std::printf("%-34s", name.c_str());
    const auto base = by_column.find(t.base);
    const double base_ms = base == by_column.end() ? 0.0 : median(base->second);
    for (const RunsTable::Column& c : t.columns) {
      const auto it = by_column.find(c.key);
      if (it == by_column.end()) {
        std::printf(" %18s", "-");
        continue;
      }
      const double ms = median(it->second);
      if (c.key == t.base || base_ms <= 0.0)
        std::printf(" %18.*f", t.decimals, ms);
      else
        std::printf(" %9.*f (x%5.*f)", t.decimals, ms, t.ratio_decimals, ms / base_ms);
    }
    std::printf("\n");
  }
}

// Runs the benchmarks the command line selects; false (having said so)
// when it holds arguments that the library does not know.
inline bool run_benchmarks(int& argc, char** argv)
{
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return false;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return true;
}

} // namespace velkaro::bench
