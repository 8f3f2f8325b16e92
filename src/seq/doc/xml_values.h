#pragma once
// The flag attributes of the sequence vocabulary: written as "true" or
// "false", read as true exactly for "true".

#include <string>

namespace velkaro {

class SerializingReader;
class SerializingWriter;

namespace seq_xml {

// "true" or "false".
const char* bool_word(bool b);
// Writes name="true" when b is set, nothing otherwise.
void write_flag_if_set(SerializingWriter& writer, const std::string& name, bool b);
// True exactly when the attribute reads "true"; a missing one is false.
bool read_flag(const SerializingReader& reader, const std::string& name);
// The same for an attribute that is always written: a missing one is a
// broken document, logged as a critical message, and still reads as false.
bool read_required_flag(const SerializingReader& reader, const std::string& name);

} // namespace seq_xml
} // namespace velkaro
