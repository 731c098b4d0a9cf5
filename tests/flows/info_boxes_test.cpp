#include <string>
#include <vector>

#include "main_window_fixture.h"
#include "window/app_icon.h"

namespace ardvix::testing {
namespace {

using headless::HeadlessWindow;
using namespace window;

// What a box shows: its caption and the texts of its controls, icons as "<icon>".
std::vector<std::string> Content(const HeadlessWindow& box) {
  std::vector<std::string> content = {box.tmpl().caption};
  for (const auto& c : box.tmpl().controls) {
    if (c.kind == platform::ControlKind::kIcon) {
      content.push_back(c.icon == &AppIcon() ? "<icon>" : "<other icon>");
    } else {
      content.push_back(c.text);
    }
  }
  return content;
}

using InfoBoxesTest = MainWindowTest;

TEST_F(InfoBoxesTest, AboutCommandOpensTheSameBoxEachTime) {
  std::vector<std::vector<std::string>> shown;
  RunWindow([&](HeadlessWindow& w) {
    env.backend.SetModalScript(IDD_ABOUTBOX, [&](HeadlessWindow& box) {
      shown.push_back(Content(box));
      EXPECT_FALSE(w.TakesInput());
      EXPECT_FALSE(w.Click(IDC_IP_FIND));
      box.Click(platform::kIdOk);
    });
    ASSERT_EQ(w.system_menu().size(), 1u);
    EXPECT_TRUE(w.ChooseSysCommand(w.system_menu()[0].first));
    EXPECT_TRUE(w.ChooseSysCommand(IDM_ABOUTBOX));
    EXPECT_TRUE(w.TakesInput());
    EXPECT_EQ(w.GetText(IDC_STATUS), "Broadcasting standby.....");
    EXPECT_TRUE(env.network.sent().empty());
    w.Click(IDOK_EXIT);
  });
  const std::vector<std::string> about = {"Zell Information", "<icon>", "Ardvix Version 1.0",
                                          "확인"};
  EXPECT_EQ(shown, (std::vector<std::vector<std::string>>{about, about}));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(InfoBoxesTest, HelpCommandShowsTheHelpTextWithItsLineBreakAndDoubleBlank) {
  std::vector<std::string> shown;
  RunWindow([&](HeadlessWindow& w) {
    env.backend.SetModalScript(IDD_HELP_DIALOG, [&](HeadlessWindow& box) {
      shown = Content(box);
      EXPECT_FALSE(w.TakesInput());
      box.PressEscape();
    });
    w.SendCommand(IDC_HELP);
    EXPECT_TRUE(w.TakesInput());
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(shown,
            (std::vector<std::string>{
                "Help", "확인",
                "Please upgrade the firmware if Check Help message is shown in your IP. \r\n"
                "Further more, in case you can't  access on the Webpage, please press the Reset "
                "button for 2 seconds and then refer the manual."}));
}

}  // namespace
}  // namespace ardvix::testing
