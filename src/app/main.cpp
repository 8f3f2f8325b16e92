// The program entry of the sequence-diagram editor.

#include <clocale>
#include <cstring>
#include <libintl.h>
#include <string_view>

#include <glibmm/miscutils.h>

#include "app/app.h"
#include "common/app_id.h"

// The translations are looked up in the application's own text domain.
static_assert(std::string_view(GETTEXT_PACKAGE) == velkaro::APP_ID);

int main(int argc, char* argv[])
{
  using namespace velkaro;
  // Debug messages stay quiet whatever the environment asks for.
  Glib::setenv("G_MESSAGES_DEBUG", "no", true);
  bindtextdomain(APP_ID, Glib::build_filename(VELKARO_SHARE_DIR, "locale").c_str());
  std::setlocale(LC_ALL, "");
  textdomain(APP_ID);
  bind_textdomain_codeset(APP_ID, "utf-8");
  auto app = VelkaroApp::create();
  const int status = app->run(argc, argv);
  app.reset();
  return status;
}
