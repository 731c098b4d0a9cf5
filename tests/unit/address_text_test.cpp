#include <gtest/gtest.h>

#include <array>
#include <string>

#include "window/address_text.h"

namespace ardvix::window {
namespace {

struct Case {
  std::string text;
  std::array<uint8_t, 4> parts;
};

class AddressText : public ::testing::TestWithParam<Case> {};

TEST_P(AddressText, GivesTheFourNumbersTheFieldShows) {
  EXPECT_EQ(AddressTextToParts(GetParam().text), GetParam().parts);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AddressText,
    ::testing::Values(Case{"192.168.1.20", {192, 168, 1, 20}}, Case{"256.1.2.3", {0, 1, 2, 3}},
                      Case{"", {0, 0, 0, 0}}, Case{"10.0.0.5", {10, 0, 0, 5}},
                      Case{" 7.x8.-1.99999999999", {7, 0, 255, 255}},
                      Case{"1.2", {1, 0, 1, 2}},  // a missing dot makes the next search start over
                      Case{"192", {0, 0, 0, 192}}),
    [](const auto& p) { return "Case" + std::to_string(p.index); });

}  // namespace
}  // namespace ardvix::window
