#include "seq/doc/xml_values.h"

#include <glib.h>

#include "model/serializing_reader.h"
#include "model/serializing_writer.h"

namespace velkaro::seq_xml {

const char* bool_word(bool b)
{
  return b ? "true" : "false";
}

void write_flag_if_set(SerializingWriter& writer, const std::string& name, bool b)
{
  // A failure stays in the writer and shows in its finish().
  if (b)
    (void)writer.write_attribute(name, "true");
}

bool read_flag(const SerializingReader& reader, const std::string& name)
{
  const auto value = reader.get_attribute(name);
  return value && *value == "true";
}

bool read_required_flag(const SerializingReader& reader, const std::string& name)
{
  const auto value = reader.get_attribute(name);
  if (!value) {
    g_critical("bool_parse: assertion 'str != NULL' failed (<%s> without \"%s\")",
               reader.get_name().c_str(), name.c_str());
    return false;
  }
  return *value == "true";
}

} // namespace velkaro::seq_xml
