// ByteBuffer: the owner of one heap byte array. Allocation may fail; the
// buffer is then empty and the caller goes on without it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

class ByteBuffer {
 public:
  ByteBuffer() = default;
  ByteBuffer(ByteBuffer&&) = default;
  ByteBuffer& operator=(ByteBuffer&&) = default;
  ByteBuffer(const ByteBuffer&) = delete;
  ByteBuffer& operator=(const ByteBuffer&) = delete;

  // Allocates n zeroed bytes in place of what the buffer held; false when the
  // memory cannot be had (the buffer is then empty). Large blocks take memory
  // only as their pages are used.
  bool Allocate(size_t n) {
    data_.reset(static_cast<uint8_t*>(std::calloc(n ? n : 1, 1)));
    size_ = data_ ? n : 0;
    return data_ != nullptr;
  }
  // Makes the buffer at least n bytes long, keeping what it holds; the new
  // bytes are not cleared. False, with the buffer as it was, when the memory
  // cannot be had.
  bool Reserve(size_t n) {
    if (n <= size_ && data_) return true;
    void* grown = std::realloc(data_.get(), n ? n : 1);
    if (grown == nullptr) return false;
    data_.release();
    data_.reset(static_cast<uint8_t*>(grown));
    size_ = n;
    return true;
  }
  void Release() {
    data_.reset();
    size_ = 0;
  }
  uint8_t* data() const { return data_.get(); }
  size_t size() const { return size_; }
  explicit operator bool() const { return data_ != nullptr; }

 private:
  struct Free {
    void operator()(uint8_t* p) const { std::free(p); }
  };
  std::unique_ptr<uint8_t, Free> data_;
  size_t size_ = 0;
};
