// Records what a flow shows the operator, in order, for tests that have no window.
#pragma once

#include <string>
#include <vector>

#include "protocol/operator_output.h"

namespace ardvix::testing {

class RecordingOutput : public protocol::OperatorOutput {
 public:
  void SetStatus(const std::string& text) override { events.push_back("status:" + text); }
  void AppendLine(const std::string& text) override { events.push_back("log:" + text); }
  void ShowMessage(const std::string& text) override { events.push_back("box:" + text); }
  std::vector<std::string> events;
};

}  // namespace ardvix::testing
