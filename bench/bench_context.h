#pragma once
// The controller context of the benchmarks: one mode, as a diagram kind's
// context has its modes, over a workspace the benchmark builds.

#include <memory>
#include <string>

#include "ctrl/context.h"
#include "ctrl/modes/mode.h"

namespace velkaro::bench {

// A mode that does nothing.
class PlainMode : public CtrlMode {
public:
  using CtrlMode::CtrlMode;
  std::string get_name() const override { return "BENCH MODE"; }
};

// A context over ws whose only mode is a Mode (made from the context).
template <class Mode = PlainMode>
class Context : public CtrlContext {
public:
  Context(Key key, std::shared_ptr<ModelWorkspace> ws) : CtrlContext(key, std::move(ws), "bench")
  {
    set_modes({std::make_shared<Mode>(*this)});
  }
  std::string get_name() const override { return "BenchContext"; }
};

} // namespace velkaro::bench
