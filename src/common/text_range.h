#pragma once
// A half-open byte range [start, end) of a text, shared by counted
// reference (the text holder's selection). set_range keeps start <= end.

#include <cstdint>
#include <memory>

namespace velkaro {

struct TextRange {
  int32_t start = 0;
  int32_t end = 0;

  static std::shared_ptr<TextRange> create(int32_t a, int32_t b)
  {
    auto r = std::make_shared<TextRange>();
    r->set_range(a, b);
    return r;
  }
  std::shared_ptr<TextRange> dup() const { return create(start, end); }

  void set_range(int32_t a, int32_t b)
  {
    start = a < b ? a : b;
    end = a < b ? b : a;
  }
  void clear() { start = end = 0; }
  int32_t get_size() const { return end - start; }
};

} // namespace velkaro
