// The list view in report mode: columns with a header row, whole rows selected, read-only.
// Reports the operator's clicks the way the Windows list view does: every left click on
// the list (a row or the empty area below the rows) and every double click with the row it
// hit, or -1 on the empty area.
#pragma once

#include <QTableWidget>
#include <functional>
#include <string>
#include <vector>

namespace ardvix::platform::qt {

class ReportList : public QTableWidget {
  Q_OBJECT

 public:
  explicit ReportList(QWidget* parent);

  std::function<void()> on_click;
  std::function<void(int row)> on_double_click;

  void InsertColumn(int column, const QString& header, int width_px);
  void SetFullRowSelect(bool full_row_select, bool grid_lines);
  int AppendRow(const std::vector<std::string>& cells);
  std::string CellText(int row, int column) const;
  void DeleteAllRows();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  bool ending_double_click_ = false;
};

}  // namespace ardvix::platform::qt
