#include "stm/doc/line_elms.h"

namespace velkaro {

CellDir StmLineElms::get_dir() const
{
  return get_mwidth() < get_mheight() ? CellDir::v : CellDir::h;
}

CellPos StmLineElms::get_endpos() const
{
  if (get_dir() == CellDir::v)
    return {pos.x, pos.y + dv};
  return {pos.x + dh, pos.y};
}

} // namespace velkaro
