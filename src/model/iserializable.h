#pragma once
// The interface of objects that write themselves to an XML document and read
// themselves back. Both operations return true on success, like every
// success flag of the XML layer.

namespace velkaro {

class SerializingReader;
class SerializingWriter;

class ISerializable {
public:
  virtual ~ISerializable() = default;

  // Writes the object at the writer's current place. Default: writes nothing.
  [[nodiscard]] virtual bool write(SerializingWriter& writer)
  {
    (void)writer;
    return true;
  }
  // Reads the object from the reader's current node. Default: reads nothing.
  [[nodiscard]] virtual bool read(SerializingReader& reader)
  {
    (void)reader;
    return true;
  }
};

} // namespace velkaro
