// The one error type of the program: a run-time error that ends a handler.
#pragma once

#include <stdexcept>
#include <string>

namespace bruvik {

enum class ErrorCode : int {
  Overflow = 6,
  DivisionByZero = 11,
  TypeMismatch = 13,
  InvalidPropertyValue = 380,
};

class RuntimeError : public std::runtime_error {
 public:
  explicit RuntimeError(ErrorCode code);
  ErrorCode code() const { return code_; }
  // "Run-time error '6': Overflow"
  static std::string describe(ErrorCode code);

 private:
  ErrorCode code_;
};

}  // namespace bruvik
