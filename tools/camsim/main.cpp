// camsim: simulated network cameras answering the device protocol on UDP port 7005.
#include <fstream>
#include <iostream>
#include <sstream>

#include "device_file.h"
#include "device_generator.h"
#include "ipv4_text.h"
#include "options.h"
#include "simulator.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

void RequestStop(int) { g_stop = 1; }

void InstallStopHandlers() {
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: poll returns at once with EINTR
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

// Reads the device file and the generated devices; an error message on failure.
std::variant<std::vector<camsim::Device>, std::string> LoadDevices(const camsim::Options& options) {
  std::vector<camsim::Device> devices;
  if (!options.devices_file.empty()) {
    std::ifstream file(options.devices_file, std::ios::binary);
    if (!file) return "cannot read device file " + options.devices_file;
    std::stringstream text;
    text << file.rdbuf();
    auto parsed = camsim::ParseDeviceFile(text.str());
    if (auto* error = std::get_if<camsim::DeviceFileError>(&parsed)) {
      return options.devices_file + ":" + std::to_string(error->line) + ": " + error->message;
    }
    devices = std::get<std::vector<camsim::Device>>(std::move(parsed));
  }
  if (options.generate > 0) {
    const auto block = camsim::ParseIpv4Block(options.base);
    if (!block) return "--base \"" + options.base + "\" is not a block such as 10.77.0.0/16";
    auto generated = camsim::GenerateDevices(options.generate, *block);
    if (auto* error = std::get_if<std::string>(&generated)) return *error;
    for (auto& device : std::get<std::vector<camsim::Device>>(generated)) {
      devices.push_back(std::move(device));
    }
  }
  if (devices.empty()) return std::string("no devices: give --devices FILE or --generate N");
  if (options.move_all) {
    for (auto& device : devices) device.faults.move_address = true;
  }
  return devices;
}

}  // namespace

int main(int argc, char** argv) {
  auto parsed_options = camsim::ParseOptions(argc, argv);
  if (auto* error = std::get_if<std::string>(&parsed_options)) {
    std::cerr << "camsim: " << *error << "\n" << camsim::kUsage;
    return 2;
  }
  const auto& options = std::get<camsim::Options>(parsed_options);
  if (options.help) {
    std::cout << camsim::kUsage;
    return 0;
  }
  auto loaded = LoadDevices(options);
  if (auto* error = std::get_if<std::string>(&loaded)) {
    std::cerr << "camsim: " << *error << "\n";
    return 2;
  }
  auto devices = std::get<std::vector<camsim::Device>>(std::move(loaded));
  if (options.print_addresses) {
    for (const auto& device : devices) std::cout << camsim::FormatIpv4(device.ip) << "/32\n";
    return 0;
  }

  camsim::TrafficLog log;
  if (!options.log_path.empty() && !log.Open(options.log_path)) {
    std::cerr << "camsim: cannot open log " << options.log_path << "\n";
    return 2;
  }
  camsim::UdpEndpoint endpoint;
  if (auto error = endpoint.Open(static_cast<uint16_t>(options.port))) {
    std::cerr << "camsim: " << *error << "\n";
    return 1;
  }
  InstallStopHandlers();
  std::optional<camsim::Simulator::Clock::time_point> deadline;
  if (options.max_seconds > 0) {
    deadline = camsim::Simulator::Clock::now() + std::chrono::seconds(options.max_seconds);
  }
  const size_t count = devices.size();
  camsim::Simulator simulator(std::move(devices), endpoint, log);
  log.Note("listening on 0.0.0.0:" + std::to_string(options.port) + " for " +
           std::to_string(count) + " devices");
  log.Flush();
  simulator.Run(&g_stop, deadline);
  return 0;
}
