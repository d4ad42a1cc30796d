#pragma once
// The package as libzip reads it: a read-only libzip source over a descriptor we own.
// It remembers where libzip last started reading, so the unzip library can learn where
// libzip finds an entry's data (libzip does not say) and compare it with the layout it
// checked itself. It can also present a repaired package (see repair.h) without
// copying it: the file's bytes up to the central directory, a few patched in place,
// then a rebuilt directory and end record.
#include <zip.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tv::unzip {

class FileSource {
  public:
    // fd stays owned by the caller and must outlive every archive opened on the source.
    FileSource(int fd, std::uint64_t size) noexcept : fd_(fd), size_(size), tailAt_(size) {
        zip_error_init(&error_);
    }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    ~FileSource() { zip_error_fini(&error_); }

    // A new libzip source reading through this object; null with the error set.
    zip_source_t* Create(zip_error_t* error);

    // Where the last read libzip asked for began.
    std::uint64_t LastReadOffset() const noexcept { return lastRead_; }

    // From now on the package reads as the file up to tailAt, and then as tail.
    void SetView(std::uint64_t tailAt, std::string tail);
    std::uint64_t Size() const noexcept { return size_; }
    // Reads n bytes of the package as presented; false when they cannot all be read.
    bool ReadExactly(std::uint64_t at, unsigned char* buf, std::size_t n);

  private:
    static zip_int64_t Callback(void* self, void* data, zip_uint64_t len, zip_source_cmd_t cmd);
    zip_int64_t Handle(void* data, zip_uint64_t len, zip_source_cmd_t cmd);
    zip_int64_t Read(char* data, std::uint64_t len);
    zip_int64_t ReadAt(char* data, std::uint64_t at, std::size_t n);
    zip_int64_t ReadFile(char* data, std::uint64_t at, std::size_t n);

    int fd_;
    std::uint64_t size_;
    std::uint64_t tailAt_;
    std::string tail_;
    std::uint64_t position_ = 0;
    std::uint64_t lastRead_ = 0;
    // Small reads (libzip reads a directory record in three or four) come from one
    // larger read ahead.
    std::vector<char> ahead_;
    std::uint64_t aheadAt_ = 0;
    std::size_t aheadSize_ = 0;
    zip_error_t error_{};
};

}  // namespace tv::unzip
