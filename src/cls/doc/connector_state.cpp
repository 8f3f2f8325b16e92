#include "cls/doc/connector_state.h"

#include "cls/route/segment.h"

namespace velkaro {

ClsConnectorState ClsConnectorState::of(const ClsAbstractConnectorElement& con)
{
  ClsConnectorState s;
  s.start = con.start;
  s.end = con.end;
  s.start_elem = con.start_elem;
  s.end_elem = con.end_elem;
  s.segments = con.get_segments();
  s.places.reserve(s.segments.size());
  for (const auto& seg : s.segments)
    s.places.push_back({seg->start_point, seg->end_point, seg->is_laid_out, seg->last_layout});
  if (con.start_term)
    s.start_term = con.start_term->get_placement();
  if (con.end_term)
    s.end_term = con.end_term->get_placement();
  s.start_label_box = con.get_label_box(StartOrEnd::start);
  s.end_label_box = con.get_label_box(StartOrEnd::end);
  s.searched_route = con.searched_route;
  return s;
}

bool ClsConnectorState::operator==(const ClsConnectorState& other) const
{
  return start == other.start && end == other.end && start_elem == other.start_elem &&
         end_elem == other.end_elem && segments == other.segments && places == other.places &&
         start_term == other.start_term && end_term == other.end_term &&
         start_label_box == other.start_label_box && end_label_box == other.end_label_box;
}

void ClsConnectorState::apply_to(ClsAbstractConnectorElement& con) const
{
  con.start = start;
  con.end = end;
  con.start_elem = start_elem;
  con.end_elem = end_elem;
  con.restore_segments(segments);
  for (size_t i = 0; i < segments.size() && i < places.size(); ++i) {
    segments[i]->start_point = places[i].start_point;
    segments[i]->end_point = places[i].end_point;
    segments[i]->is_laid_out = places[i].is_laid_out;
    segments[i]->renewed = false;
    segments[i]->last_layout = places[i].layout;
  }
  if (con.start_term && start_term)
    con.start_term->set_placement(*start_term);
  if (con.end_term && end_term)
    con.end_term->set_placement(*end_term);
  con.place_label(StartOrEnd::start, start_label_box);
  con.place_label(StartOrEnd::end, end_label_box);
  con.searched_route = searched_route;
}

} // namespace velkaro
