#include "model/runtime_error.h"

namespace bruvik {

RuntimeError::RuntimeError(ErrorCode code) : std::runtime_error(describe(code)), code_(code) {}

std::string RuntimeError::describe(ErrorCode code) {
  const char* what = "Application-defined or object-defined error";
  switch (code) {
    case ErrorCode::Overflow:
      what = "Overflow";
      break;
    case ErrorCode::DivisionByZero:
      what = "Division by zero";
      break;
    case ErrorCode::TypeMismatch:
      what = "Type mismatch";
      break;
    case ErrorCode::InvalidPropertyValue:
      what = "Invalid property value";
      break;
  }
  return "Run-time error '" + std::to_string(static_cast<int>(code)) + "': " + what;
}

}  // namespace bruvik
