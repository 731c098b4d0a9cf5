// What every flow writes to: the status line, the log and modal message boxes. The main
// window implements it; the protocol code only needs these three.
#pragma once

#include <string>

namespace ardvix::protocol {

class OperatorOutput {
 public:
  virtual ~OperatorOutput() = default;
  virtual void SetStatus(const std::string& text) = 0;
  virtual void AppendLine(const std::string& text) = 0;
  // Modal; returns when the operator has closed the box.
  virtual void ShowMessage(const std::string& text) = 0;
};

}  // namespace ardvix::protocol
