// Draws the program's icons and writes, beside them, the resource list that
// glib-compile-resources compiles into the program.
//
// Usage: velkaro_make_icons <output folder>
//
// Tool-button icons are 16 x 16. The tool bar repaints every pixel in one
// colour and keeps only the alpha, so they are drawn as shapes in one dark
// colour. The window icons (32 and 48 pixels) are shown as drawn, in colour.

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>

namespace {

constexpr double PI = 3.14159265358979323846;

// Drawing helpers, in the icon's design units.

void rgba(cairo_t* cr, double r, double g, double b, double a = 1.0) { cairo_set_source_rgba(cr, r, g, b, a); }

void ink(cairo_t* cr, double alpha = 1.0) { rgba(cr, 0.2, 0.2, 0.2, alpha); }

void segment(cairo_t* cr, double x1, double y1, double x2, double y2)
{
  cairo_move_to(cr, x1, y1);
  cairo_line_to(cr, x2, y2);
  cairo_stroke(cr);
}

void polygon(cairo_t* cr, std::initializer_list<std::pair<double, double>> points)
{
  bool first = true;
  for (const auto& [x, y] : points) {
    if (first)
      cairo_move_to(cr, x, y);
    else
      cairo_line_to(cr, x, y);
    first = false;
  }
  cairo_close_path(cr);
}

void frame(cairo_t* cr, double x1, double y1, double x2, double y2)
{
  cairo_rectangle(cr, x1, y1, x2 - x1, y2 - y1);
  cairo_stroke(cr);
}

void block(cairo_t* cr, double x1, double y1, double x2, double y2)
{
  cairo_rectangle(cr, x1, y1, x2 - x1, y2 - y1);
  cairo_fill(cr);
}

void dot(cairo_t* cr, double x, double y, double r)
{
  cairo_new_sub_path(cr);
  cairo_arc(cr, x, y, r, 0, 2 * PI);
  cairo_fill(cr);
}

void plus(cairo_t* cr, double cx, double cy, double arm)
{
  segment(cr, cx - arm, cy, cx + arm, cy);
  segment(cr, cx, cy - arm, cx, cy + arm);
}

void minus(cairo_t* cr, double cx, double cy, double arm) { segment(cr, cx - arm, cy, cx + arm, cy); }

// A filled arrow head with its tip at (x, y), pointing along angle.
void head(cairo_t* cr, double x, double y, double angle, double length, double half_width)
{
  const double c = std::cos(angle), s = std::sin(angle);
  const double bx = x - c * length, by = y - s * length;
  polygon(cr, {{x, y}, {bx - s * half_width, by + c * half_width}, {bx + s * half_width, by - c * half_width}});
  cairo_fill(cr);
}

// --- Tool-button icons, 16 units.

void draw_new_file(cairo_t* cr)
{
  polygon(cr, {{3.5, 1.5}, {9.5, 1.5}, {12.5, 4.5}, {12.5, 14.5}, {3.5, 14.5}});
  ink(cr, 0.3);
  cairo_fill_preserve(cr);
  ink(cr);
  cairo_stroke(cr);
  cairo_move_to(cr, 9.5, 1.5);
  cairo_line_to(cr, 9.5, 4.5);
  cairo_line_to(cr, 12.5, 4.5);
  cairo_stroke(cr);
}

void draw_open_file(cairo_t* cr)
{
  polygon(cr, {{1.5, 2.5}, {6.0, 2.5}, {7.5, 4.5}, {13.5, 4.5}, {13.5, 13.5}, {1.5, 13.5}});
  cairo_stroke(cr);
  polygon(cr, {{1.5, 13.5}, {4.0, 7.5}, {15.5, 7.5}, {13.5, 13.5}});
  cairo_fill(cr);
}

void draw_save_file(cairo_t* cr)
{
  polygon(cr, {{1.5, 1.5}, {12.5, 1.5}, {14.5, 3.5}, {14.5, 14.5}, {1.5, 14.5}});
  cairo_stroke(cr);
  block(cr, 4, 1.5, 11, 6);
  frame(cr, 4.5, 9.5, 11.5, 14.5);
}

void draw_export_png_n(cairo_t* cr)
{
  frame(cr, 1.5, 2.5, 14.5, 13.5);
  polygon(cr, {{2.5, 12.5}, {6.5, 7.0}, {9.0, 10.0}, {10.5, 8.5}, {13.5, 12.5}});
  cairo_fill(cr);
  dot(cr, 11, 5.5, 1.5);
}

void draw_undo(cairo_t* cr)
{
  cairo_set_line_width(cr, 2.0);
  cairo_move_to(cr, 4.5, 5);
  cairo_line_to(cr, 9.5, 5);
  cairo_arc(cr, 9.5, 9.25, 4.25, -PI / 2, PI / 2);
  cairo_line_to(cr, 5.5, 13.5);
  cairo_stroke(cr);
  head(cr, 0.5, 5, PI, 5, 3.5);
}

void draw_redo(cairo_t* cr)
{
  // The undo arrow, mirrored.
  cairo_translate(cr, 16, 0);
  cairo_scale(cr, -1, 1);
  draw_undo(cr);
}

void draw_toggle_hv(cairo_t* cr)
{
  segment(cr, 3, 8, 13, 8);
  segment(cr, 8, 3, 8, 13);
  head(cr, 0.5, 8, PI, 3.5, 2.5);
  head(cr, 15.5, 8, 0, 3.5, 2.5);
  head(cr, 8, 0.5, -PI / 2, 3.5, 2.5);
  head(cr, 8, 15.5, PI / 2, 3.5, 2.5);
}

void draw_copy(cairo_t* cr)
{
  frame(cr, 1.5, 1.5, 9.5, 10.5);
  // The front page hides the back one where they overlap.
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  block(cr, 5, 5, 15, 15);
  cairo_restore(cr);
  cairo_rectangle(cr, 5.5, 5.5, 9, 9);
  ink(cr, 0.3);
  cairo_fill_preserve(cr);
  ink(cr);
  cairo_stroke(cr);
}

void draw_cut(cairo_t* cr)
{
  cairo_new_sub_path(cr);
  cairo_arc(cr, 4.5, 12, 2.3, 0, 2 * PI);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 11.5, 12, 2.3, 0, 2 * PI);
  cairo_stroke(cr);
  segment(cr, 5.8, 10.2, 11.5, 1.0);
  segment(cr, 10.2, 10.2, 4.5, 1.0);
}

void draw_paste(cairo_t* cr)
{
  frame(cr, 2.5, 2.5, 13.5, 14.5);
  block(cr, 5, 1, 11, 4.5);
  segment(cr, 5, 7.5, 11, 7.5);
  segment(cr, 5, 10.5, 11, 10.5);
}

void draw_insert_element(cairo_t* cr)
{
  frame(cr, 1.5, 1.5, 14.5, 14.5);
  cairo_set_line_width(cr, 2.0);
  plus(cr, 8, 8, 4);
}

// Two rows with a new one between them, or with the middle one crossed out,
// and a plus or minus beside them. Columns are the same rows transposed; the
// sign keeps its orientation.
void line_icon(cairo_t* cr, bool columns, bool insert)
{
  cairo_save(cr);
  if (columns) {
    cairo_matrix_t swap;
    cairo_matrix_init(&swap, 0, 1, 1, 0, 0, 0);
    cairo_transform(cr, &swap);
  }
  block(cr, 1, 1.5, 10.5, 5);
  block(cr, 1, 11, 10.5, 14.5);
  if (insert) {
    const double dash[] = {1.5, 1.5};
    cairo_set_dash(cr, dash, 2, 0);
    frame(cr, 1.5, 6.5, 10.5, 9.5);
  } else {
    segment(cr, 2, 6.5, 10, 9.5);
    segment(cr, 2, 9.5, 10, 6.5);
  }
  cairo_restore(cr);
  cairo_set_line_width(cr, 2.0);
  const double x = columns ? 8 : 13, y = columns ? 13 : 8;
  if (insert)
    plus(cr, x, y, 2.5);
  else
    minus(cr, x, y, 2.5);
}

void draw_insert_row(cairo_t* cr) { line_icon(cr, false, true); }
void draw_insert_col(cairo_t* cr) { line_icon(cr, true, true); }
void draw_delete_row(cairo_t* cr) { line_icon(cr, false, false); }
void draw_delete_col(cairo_t* cr) { line_icon(cr, true, false); }

void draw_manual(cairo_t* cr)
{
  cairo_arc(cr, 8, 8, 6.75, 0, 2 * PI);
  cairo_stroke(cr);
  cairo_set_line_width(cr, 2.0);
  cairo_arc(cr, 8, 6.2, 2.3, PI, 2.3 * PI);
  cairo_line_to(cr, 8, 9.8);
  cairo_stroke(cr);
  dot(cr, 8, 12.1, 1.1);
}

// A class box: name, then two compartments.
void class_box(cairo_t* cr, double x1, double y1, double x2, double y2)
{
  const double third = (y2 - y1) / 3;
  ink(cr, 0.5);
  block(cr, x1, y1, x2, y1 + third);
  ink(cr);
  frame(cr, x1, y1, x2, y2);
  segment(cr, x1, y1 + third, x2, y1 + third);
  segment(cr, x1, y1 + 2 * third, x2, y1 + 2 * third);
}

void draw_insert_class(cairo_t* cr) { class_box(cr, 2.5, 1.5, 13.5, 14.5); }

void draw_insert_block(cairo_t* cr)
{
  class_box(cr, 1.5, 1.5, 9.5, 14.5);
  cairo_set_line_width(cr, 2.0);
  plus(cr, 12.5, 11, 2.75);
}

void draw_delete_block(cairo_t* cr)
{
  class_box(cr, 1.5, 1.5, 9.5, 14.5);
  cairo_set_line_width(cr, 2.0);
  minus(cr, 12.5, 11, 2.75);
}

void draw_connect_association(cairo_t* cr)
{
  cairo_set_line_width(cr, 2.0);
  segment(cr, 2, 8, 14, 8);
  dot(cr, 2, 8, 1.75);
  dot(cr, 14, 8, 1.75);
}

void draw_connect_dependency(cairo_t* cr)
{
  cairo_set_line_width(cr, 2.0);
  const double dash[] = {2.0, 1.5};
  cairo_set_dash(cr, dash, 2, 0);
  segment(cr, 1, 8, 14, 8);
  cairo_set_dash(cr, nullptr, 0, 0);
  cairo_move_to(cr, 10.5, 4);
  cairo_line_to(cr, 14.5, 8);
  cairo_line_to(cr, 10.5, 12);
  cairo_stroke(cr);
}

void draw_connect_generalization(cairo_t* cr)
{
  cairo_set_line_width(cr, 2.0);
  segment(cr, 1, 8, 9, 8);
  polygon(cr, {{9, 3.5}, {14.75, 8}, {9, 12.5}});
  cairo_stroke(cr);
}

void diamond_connector(cairo_t* cr, bool filled)
{
  cairo_set_line_width(cr, 2.0);
  segment(cr, 1, 8, 6, 8);
  polygon(cr, {{6, 8}, {10.5, 4.5}, {15, 8}, {10.5, 11.5}});
  if (filled)
    cairo_fill_preserve(cr);
  cairo_stroke(cr);
}

void draw_connect_aggregation(cairo_t* cr) { diamond_connector(cr, false); }
void draw_connect_composition(cairo_t* cr) { diamond_connector(cr, true); }

void draw_insert_life_line(cairo_t* cr)
{
  ink(cr, 0.5);
  block(cr, 3.5, 1.5, 12.5, 5.5);
  ink(cr);
  frame(cr, 3.5, 1.5, 12.5, 5.5);
  cairo_set_line_width(cr, 1.5);
  const double dash[] = {2.0, 1.5};
  cairo_set_dash(cr, dash, 2, 0);
  segment(cr, 8, 6, 8, 15.5);
}

void draw_insert_message(cairo_t* cr)
{
  cairo_set_line_width(cr, 1.5);
  const double dash[] = {2.0, 1.5};
  cairo_set_dash(cr, dash, 2, 0);
  segment(cr, 1.75, 0.5, 1.75, 15.5);
  segment(cr, 14.25, 0.5, 14.25, 15.5);
  cairo_set_dash(cr, nullptr, 0, 0);
  segment(cr, 2.5, 8, 10, 8);
  head(cr, 13.5, 8, 0, 4, 3);
}

void draw_insert_fragment(cairo_t* cr)
{
  frame(cr, 1.5, 2.5, 14.5, 13.5);
  polygon(cr, {{1.5, 2.5}, {8.5, 2.5}, {8.5, 5.0}, {7.0, 6.5}, {1.5, 6.5}});
  cairo_fill(cr);
}

// --- Window icons, 48 units, in colour.

void window_ground(cairo_t* cr, double r, double g, double b)
{
  const double x = 2, y = 2, w = 44, h = 44, k = 7;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - k, y + k, k, -PI / 2, 0);
  cairo_arc(cr, x + w - k, y + h - k, k, 0, PI / 2);
  cairo_arc(cr, x + k, y + h - k, k, PI / 2, PI);
  cairo_arc(cr, x + k, y + k, k, PI, 1.5 * PI);
  cairo_close_path(cr);
  rgba(cr, 1, 1, 1);
  cairo_fill_preserve(cr);
  rgba(cr, r, g, b);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
}

void draw_seq_window(cairo_t* cr)
{
  window_ground(cr, 0.604, 0.871, 0.0);
  cairo_set_line_width(cr, 1.5);
  for (const double x : {8.0, 28.0}) {
    rgba(cr, 0.604, 0.871, 0.0);
    block(cr, x, 8, x + 12, 15);
    rgba(cr, 0.15, 0.15, 0.15);
    frame(cr, x, 8, x + 12, 15);
  }
  const double dash[] = {3.0, 2.0};
  cairo_set_dash(cr, dash, 2, 0);
  rgba(cr, 0.4, 0.4, 0.4);
  segment(cr, 14, 15, 14, 41);
  segment(cr, 34, 15, 34, 41);
  cairo_set_dash(cr, nullptr, 0, 0);
  rgba(cr, 0.15, 0.15, 0.15);
  cairo_set_line_width(cr, 2);
  segment(cr, 14, 23, 29, 23);
  head(cr, 34, 23, 0, 5, 3);
  cairo_set_dash(cr, dash, 2, 0);
  segment(cr, 34, 33, 16, 33);
  cairo_set_dash(cr, nullptr, 0, 0);
  cairo_move_to(cr, 19, 30);
  cairo_line_to(cr, 15, 33);
  cairo_line_to(cr, 19, 36);
  cairo_stroke(cr);
}

void colour_class_box(cairo_t* cr, double x1, double y1, double x2, double y2)
{
  rgba(cr, 1.0, 0.753, 0.133);
  block(cr, x1, y1, x2, y2);
  rgba(cr, 0.15, 0.15, 0.15);
  cairo_set_line_width(cr, 1.5);
  frame(cr, x1, y1, x2, y2);
  const double third = (y2 - y1) / 3;
  segment(cr, x1, y1 + third, x2, y1 + third);
  segment(cr, x1, y1 + 2 * third, x2, y1 + 2 * third);
}

void draw_cls_window(cairo_t* cr)
{
  window_ground(cr, 1.0, 0.753, 0.133);
  colour_class_box(cr, 7, 7, 22, 25);
  colour_class_box(cr, 26, 23, 41, 41);
  rgba(cr, 0.15, 0.15, 0.15);
  cairo_set_line_width(cr, 1.5);
  cairo_move_to(cr, 22, 16);
  cairo_line_to(cr, 33.5, 16);
  cairo_line_to(cr, 33.5, 17);
  cairo_stroke(cr);
  polygon(cr, {{33.5, 23}, {30, 17}, {37, 17}});
  rgba(cr, 1, 1, 1);
  cairo_fill_preserve(cr);
  rgba(cr, 0.15, 0.15, 0.15);
  cairo_stroke(cr);
}

// --- The bundle.

struct Icon {
  const char* file;
  int pixels;
  double design_units;
  void (*draw)(cairo_t*);
};

// Icons of actions are named after the action they stand for.
constexpr Icon ICONS[] = {
  {"new-file.png", 16, 16, draw_new_file},
  {"open-file.png", 16, 16, draw_open_file},
  {"save-file.png", 16, 16, draw_save_file},
  {"export-png-n.png", 16, 16, draw_export_png_n},
  {"undo.png", 16, 16, draw_undo},
  {"redo.png", 16, 16, draw_redo},
  {"toggle-hv.png", 16, 16, draw_toggle_hv},
  {"copy.png", 16, 16, draw_copy},
  {"cut.png", 16, 16, draw_cut},
  {"paste.png", 16, 16, draw_paste},
  {"insert-element.png", 16, 16, draw_insert_element},
  {"insert-row.png", 16, 16, draw_insert_row},
  {"insert-col.png", 16, 16, draw_insert_col},
  {"delete-row.png", 16, 16, draw_delete_row},
  {"delete-col.png", 16, 16, draw_delete_col},
  {"manual.png", 16, 16, draw_manual},
  {"insert-class.png", 16, 16, draw_insert_class},
  {"insert-block.png", 16, 16, draw_insert_block},
  {"delete-block.png", 16, 16, draw_delete_block},
  {"connect-association.png", 16, 16, draw_connect_association},
  {"connect-dependency.png", 16, 16, draw_connect_dependency},
  {"connect-generalization.png", 16, 16, draw_connect_generalization},
  {"connect-aggregation.png", 16, 16, draw_connect_aggregation},
  {"connect-composition.png", 16, 16, draw_connect_composition},
  {"insert-life-line.png", 16, 16, draw_insert_life_line},
  {"insert-message.png", 16, 16, draw_insert_message},
  {"insert-fragment.png", 16, 16, draw_insert_fragment},
  {"seq32.png", 32, 48, draw_seq_window},
  {"seq48.png", 48, 48, draw_seq_window},
  {"cls32.png", 32, 48, draw_cls_window},
  {"cls48.png", 48, 48, draw_cls_window},
};

bool write_icon(const Icon& icon, const std::filesystem::path& folder)
{
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, icon.pixels, icon.pixels);
  cairo_t* cr = cairo_create(surface);
  const double scale = icon.pixels / icon.design_units;
  cairo_scale(cr, scale, scale);
  cairo_set_line_width(cr, 1.0);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  ink(cr);
  icon.draw(cr);
  const cairo_status_t drawn = cairo_status(cr);
  cairo_destroy(cr);
  const std::string path = (folder / icon.file).string();
  const cairo_status_t written = drawn == CAIRO_STATUS_SUCCESS ? cairo_surface_write_to_png(surface, path.c_str()) : drawn;
  cairo_surface_destroy(surface);
  if (written != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "velkaro_make_icons: %s: %s\n", path.c_str(), cairo_status_to_string(written));
    return false;
  }
  return true;
}

bool write_resource_list(const std::filesystem::path& folder)
{
  std::ofstream out(folder / "icons.gresource.xml");
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<gresources>\n"
         "  <gresource prefix=\"/org/gtk/velkaro\">\n";
  for (const Icon& icon : ICONS)
    out << "    <file>" << icon.file << "</file>\n";
  out << "  </gresource>\n"
         "</gresources>\n";
  out.close();
  return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
  if (argc != 2) {
    std::fprintf(stderr, "usage: velkaro_make_icons <output folder>\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "velkaro_make_icons: %s: %s\n", folder.c_str(), error.message().c_str());
    return 1;
  }
  for (const Icon& icon : ICONS)
    if (!write_icon(icon, folder))
      return 1;
  if (!write_resource_list(folder)) {
    std::fprintf(stderr, "velkaro_make_icons: cannot write the resource list\n");
    return 1;
  }
  cairo_debug_reset_static_data();
  return 0;
}
