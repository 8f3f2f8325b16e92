// Writing the exported image through a replacement of the file (a
// temporary file beside the target, renamed over it once complete), so that
// a failure never costs the old file.

#include <cerrno>

#include <unistd.h>

#include <glib.h>

#include "model/file_replacement.h"
#include "view/exporting_cnavas.h"
#include "view/png_writer.h"

namespace velkaro {
namespace {

// Where the PNG writer's bytes go, and why the first failed write failed.
struct FdSink {
  int fd;
  int error = 0;
};

// The PNG writer hands the encoded bytes here.
cairo_status_t write_to_fd(void* closure, const unsigned char* data, unsigned int length)
{
  auto* sink = static_cast<FdSink*>(closure);
  while (length > 0) {
    const ssize_t n = ::write(sink->fd, data, length);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0) {
      // cairo's own status would only say "error while writing to output
      // stream"; the user needs the cause (a full disk).
      sink->error = n < 0 ? errno : EIO;
      return CAIRO_STATUS_WRITE_ERROR;
    }
    data += n;
    length -= static_cast<unsigned int>(n);
  }
  return CAIRO_STATUS_SUCCESS;
}

} // namespace

bool ViewExportingCnavas::write_file(const std::string& file_path, const ViewPngWriter& png, std::string& error)
{
  const std::string target = ModelFileReplacement::file_behind(file_path);
  ModelFileReplacement temp(target);
  if (!temp.open_over_target(0666, error))
    return false;
  if (!write_stream(png, temp.get_fd(), error))
    return false;
  if (!temp.sync(error) || !temp.name(error) || !replace_file(temp.get_temp_path(), target, error))
    return false;
  temp.committed();
  return true;
}

bool ViewExportingCnavas::write_stream(const ViewPngWriter& png, int fd, std::string& error)
{
  FdSink sink{fd};
  const cairo_status_t status = png.write(write_to_fd, &sink);
  if (status == CAIRO_STATUS_SUCCESS)
    return true;
  error = sink.error != 0 ? g_strerror(sink.error) : cairo_status_to_string(status);
  return false;
}

bool ViewExportingCnavas::replace_file(const std::string& temp, const std::string& target, std::string& error)
{
  return ModelFileReplacement::rename_over(temp, target, error);
}

} // namespace velkaro
