#pragma once
// Translatable strings: _("text") looks the text up in the program's catalogue.

#include <glib/gi18n-lib.h>
