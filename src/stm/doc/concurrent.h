#pragma once
// StmConcurrent: a concurrency line, drawn thick between its anchor cell
// and its end cell. Written as "concurrent" with the common attributes.

#include <memory>

#include "stm/doc/line_elms.h"

namespace velkaro {

class StmConcurrent : public StmLineElms {
public:
  static std::shared_ptr<StmConcurrent> create() { return std::make_shared<StmConcurrent>(); }
  StmConcurrent() { tag = "concurrent"; }

  const char* get_type_name() const override { return "StmConcurrent"; }
  ElementPtr new_instance() const override { return std::make_shared<StmConcurrent>(); }
};

} // namespace velkaro
