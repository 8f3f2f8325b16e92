#include "stm/doc/point_elms.h"

#include <string>

#include "common/text_join.h"
#include "model/serializing_reader.h"

namespace velkaro {

void StmPointElms::read_in_top()
{
  SerializingReader* reader = get_reader();
  if (!reader || (dh == 0 && dv == 0))
    return;
  reader->fail_here(text_join({"<", reader->get_name(), "> covers ", std::to_string(get_mwidth()),
                               " by ", std::to_string(get_mheight()),
                               " cells; a point state covers one cell"}));
}

} // namespace velkaro
