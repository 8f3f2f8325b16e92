#pragma once
// Argument checks at public entry points. A failed check is a caller's bug:
// it logs a critical message naming the function and the failed condition
// and returns the neutral value, so the program carries on.

#include <glib.h>

#define VK_CHECK(cond)                                                         \
  do {                                                                         \
    if (G_UNLIKELY(!(cond))) {                                                 \
      g_critical("%s: assertion '%s' failed", G_STRFUNC, #cond);               \
      return;                                                                  \
    }                                                                          \
  } while (false)

#define VK_CHECK_VAL(cond, val)                                                \
  do {                                                                         \
    if (G_UNLIKELY(!(cond))) {                                                 \
      g_critical("%s: assertion '%s' failed", G_STRFUNC, #cond);               \
      return (val);                                                            \
    }                                                                          \
  } while (false)
