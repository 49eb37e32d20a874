#pragma once
// Typed errors of the core. what() is UTF-8: it is meant for the person and
// usually names a file path, which is UTF-8 on this platform.
#include <stdexcept>
#include <string>

namespace kvort {

class Error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A file that cannot be read, created or written.
class FileError : public Error {
  public:
    using Error::Error;
};

// Text that has no CP1251 form, or bytes that are not valid UTF-8.
class TextError : public Error {
  public:
    using Error::Error;
};

// A value that does not convert (a number expected where text stands).
class ConvertError : public Error {
  public:
    using Error::Error;
};

} // namespace kvort
