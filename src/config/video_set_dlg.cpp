#include "config/video_set_dlg.h"

#include <span>

#include "window/templates/video_set_template.h"

namespace ardvix::config {

namespace {

constexpr const char* kFrameRates[kFrameRateItems] = {"고화질", "고속화면"};
constexpr const char* kKeyFrames[kKeyFrameItems] = {"1", "2", "3", "4", "5"};
constexpr const char* kQualities[kQualityItems] = {"300 Kbps(권장)", "200 Kbps", "100 Kbps"};

struct ListItems {
  int id;
  int VideoSelection::*index;
  std::span<const char* const> items;
};

const ListItems kLists[] = {
    {window::IDC_FRAME_RATE, &VideoSelection::frame_rate, kFrameRates},
    {window::IDC_KEY_FRAME_RATE, &VideoSelection::key_frame, kKeyFrames},
    {window::IDC_QUALITY, &VideoSelection::quality, kQualities},
};

}  // namespace

int CVideoSetDlg::DoModal(platform::UiBackend& ui, platform::Window* parent) {
  return RunDialog(ui, window::VideoSetTemplate(), parent);
}

void CVideoSetDlg::OnInitDialog() {
  for (const ListItems& list : kLists) {
    for (const char* item : list.items) wnd().AddItem(list.id, item);
    wnd().SelectItem(list.id, 0);
  }
  selection_ = {};
}

void CVideoSetDlg::OnSelectionChange(int dropdown_id, int index) {
  for (const ListItems& list : kLists) {
    if (list.id != dropdown_id) continue;
    // Only a position that holds an item replaces the stored one.
    if (index >= 0 && index < static_cast<int>(list.items.size())) selection_.*list.index = index;
  }
}

}  // namespace ardvix::config
