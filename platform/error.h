#pragma once
// One status type for the whole program: a number (0 = success), the operating-system
// error behind it (errno, 0 when none), a source and a description. Low layers return
// a Status; code that must raise (the classes with numbered errors) throws AppError,
// which carries one.
//
// The source is the executable's name followed by "." and the raising class
// ("tessel-viewer.cRegistry"). Operating-system failures use the classic runtime
// numbers where one fits, so that rules written against them (for example "error 53
// means nothing matched") hold:
//
//   errno                              number  meaning
//   ENOENT (the name itself)              53   file not found
//   ENOENT (a folder on the way), ENOTDIR 76   path not found
//   EACCES, EPERM                         70   permission denied
//   EROFS, EBUSY, ETXTBSY, EISDIR, EIO    75   path/file access error
//   ENOSPC, EDQUOT                        61   disk full
//   EEXIST                                58   file already exists
//   EMFILE, ENFILE                        67   too many files
//   ENAMETOOLONG                          52   bad file name or number
//   anything else                         51   internal error
#include <cassert>
#include <exception>
#include <optional>
#include <string>
#include <system_error>
#include <type_traits>
#include <utility>

namespace tv {

inline constexpr const char* kExecutableName = "tessel-viewer";

// Classic runtime error numbers used across the program.
enum ErrorNumber : long {
    kErrInvalidCall = 5,
    kErrOverflow = 6,
    kErrSubscript = 9,
    kErrTypeMismatch = 13,
    kErrInternal = 51,
    kErrBadFileName = 52,
    kErrFileNotFound = 53,
    kErrFileExists = 58,
    kErrDiskFull = 61,
    kErrTooManyFiles = 67,
    kErrPermission = 70,
    kErrAccess = 75,
    kErrPathNotFound = 76,
    kErrInvalidFormat = 321,  // input a reader refuses (bad syntax, past a size limit)
};

class Status {
  public:
    Status() = default;  // success
    Status(long number, std::string source, std::string description, int osError = 0)
        : number_(number),
          osError_(osError),
          source_(std::move(source)),
          description_(std::move(description)) {}

    bool Ok() const noexcept { return number_ == 0; }
    explicit operator bool() const noexcept { return Ok(); }
    long Number() const noexcept { return number_; }
    int OsError() const noexcept { return osError_; }
    const std::string& Source() const noexcept { return source_; }
    const std::string& Description() const noexcept { return description_; }

  private:
    long number_ = 0;
    int osError_ = 0;
    std::string source_;
    std::string description_;
};

// A value or the Status saying why there is none. Built from a failed Status only: a
// successful Status without a value would report success and failure the same way, so
// it becomes an internal error.
template <class T>
class Result {
  public:
    template <class U = T, std::enable_if_t<std::is_constructible_v<T, U&&> &&
                                                !std::is_same_v<std::decay_t<U>, Status> &&
                                                !std::is_same_v<std::decay_t<U>, Result>,
                                            int> = 0>
    Result(U&& value) : value_(std::forward<U>(value)) {}
    Result(Status status) : status_(std::move(status)) {
        if (status_.Ok()) {
            status_ = Status(kErrInternal, std::string(kExecutableName), "no value");
        }
    }

    bool Ok() const noexcept { return value_.has_value(); }
    explicit operator bool() const noexcept { return Ok(); }
    // The value; only when Ok() (checked in debug builds).
    T& value() & { return Get(); }
    const T& value() const& { return Get(); }
    T&& value() && { return std::move(Get()); }
    T* operator->() { return &Get(); }
    const T* operator->() const { return &Get(); }
    T& operator*() & { return Get(); }
    const T& operator*() const& { return Get(); }
    // Success when Ok(), else why not.
    const Status& status() const noexcept { return status_; }

  private:
    T& Get() {
        assert(value_.has_value());
        return *value_;
    }
    const T& Get() const {
        assert(value_.has_value());
        return *value_;
    }

    std::optional<T> value_;
    Status status_;
};

class AppError : public std::exception {
  public:
    AppError(long number, std::string source, std::string description, int osError = 0)
        : status_(number, std::move(source), std::move(description), osError) {}
    explicit AppError(Status status) : status_(std::move(status)) {}

    long Number() const noexcept { return status_.Number(); }
    const std::string& Source() const noexcept { return status_.Source(); }
    const std::string& Description() const noexcept { return status_.Description(); }
    const Status& GetStatus() const noexcept { return status_; }
    const char* what() const noexcept override { return status_.Description().c_str(); }

  private:
    Status status_;
};

// "tessel-viewer." + className
std::string ErrorSource(const std::string& className);

// The classic number for an errno value. pathMissing picks 76 over 53 for ENOENT.
long ErrorNumberFromErrno(int err, bool pathMissing = false);

// A failed system call on path: number from errno (pathMissing as above), description
// "<what>: <path>: <strerror>".
Status SystemStatus(int err, const std::string& className, const std::string& what,
                    const std::string& path, bool pathMissing = false);
inline AppError SystemError(int err, const std::string& className, const std::string& what,
                            const std::string& path) {
    return AppError(SystemStatus(err, className, what, path));
}

}  // namespace tv
