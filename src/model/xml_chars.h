#pragma once
// libxml2 takes and gives its strings as unsigned UTF-8 bytes (xmlChar);
// ours are std::string. The bytes are the same.

#include <string>

#include <libxml/xmlstring.h>

namespace velkaro {

inline const xmlChar* xml_chars(const std::string& s) { return reinterpret_cast<const xmlChar*>(s.c_str()); }

} // namespace velkaro
