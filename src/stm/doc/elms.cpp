#include "stm/doc/elms.h"

#include "stm/doc/composite.h"
#include "stm/doc/concurrent.h"
#include "stm/doc/point_elms.h"
#include "stm/doc/transaction.h"

namespace velkaro {
namespace {

struct StmKindMaker {
  const char* name;
  std::shared_ptr<ModelElement> (*make)();
};

template <class T>
std::shared_ptr<ModelElement> make_stm_kind()
{
  return std::make_shared<T>();
}

// Compared in this order; each class sets its own XML name as its tag.
constexpr std::array<StmKindMaker, 11> stm_kind_makers{{
    {"beginstate", make_stm_kind<StmBeginState>},
    {"sinkstate", make_stm_kind<StmSinkState>},
    {"entry", make_stm_kind<StmEntry>},
    {"exit", make_stm_kind<StmExit>},
    {"terminate", make_stm_kind<StmTerminate>},
    {"history", make_stm_kind<StmHistory>},
    {"junction", make_stm_kind<StmJunction>},
    {"conditional", make_stm_kind<StmConditional>},
    {"composite", make_stm_kind<StmComposite>},
    {"transaction", make_stm_kind<StmTransaction>},
    {"concurrent", make_stm_kind<StmConcurrent>},
}};

constexpr std::array<StmPointKindRow, 8> stm_point_kind_rows{{
    {"beginstate", "_Begin State"},
    {"sinkstate", "_Sink State"},
    {"entry", "_Entry State"},
    {"exit", "E_xit State"},
    {"terminate", "Te_rminate Node"},
    {"history", "H_istory"},
    {"conditional", "C_onditional Pseudo State"},
    {"junction", "J_unction"},
}};

} // namespace

std::shared_ptr<ModelElement> StmElms::make(const std::string& name)
{
  for (const StmKindMaker& kind : stm_kind_makers)
    if (name == kind.name) {
      auto elm = kind.make();
      elm->tag = kind.name;
      return elm;
    }
  return nullptr;
}

std::array<StmPointKindRow, 8> StmElms::point_kinds()
{
  return stm_point_kind_rows;
}

} // namespace velkaro
