#include "platform/qt/report_list.h"

#include <algorithm>

#include <QHeaderView>
#include <QMouseEvent>

namespace ardvix::platform::qt {

ReportList::ReportList(QWidget* parent) : QTableWidget(parent) {
  setColumnCount(0);
  verticalHeader()->hide();
  horizontalHeader()->setStretchLastSection(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSectionsClickable(false);
  setSortingEnabled(false);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setShowGrid(false);
  setWordWrap(false);
  setTabKeyNavigation(false);  // Tab moves to the next control, not the next cell
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // Rows as compact as the Windows list view's: one line of text and a little air.
  const int row_height = fontMetrics().height() + 4;
  verticalHeader()->setMinimumSectionSize(row_height);
  verticalHeader()->setDefaultSectionSize(row_height);

  // The selected row keeps a clear contrast whether or not the list has the focus, so its
  // texts stay readable after the operator has moved on to the address boxes.
  QPalette colours = palette();
  for (auto group : {QPalette::Active, QPalette::Inactive}) {
    colours.setColor(group, QPalette::Highlight, QColor(0x00, 0x78, 0xd7));
    colours.setColor(group, QPalette::HighlightedText, Qt::white);
  }
  setPalette(colours);
}

void ReportList::InsertColumn(int column, const QString& header, int width_px) {
  const int at = std::clamp(column, 0, columnCount());
  insertColumn(at);
  auto* item = new QTableWidgetItem(header);
  item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  setHorizontalHeaderItem(at, item);
  if (width_px >= 0) setColumnWidth(at, width_px);
}

void ReportList::SetFullRowSelect(bool full_row_select, bool grid_lines) {
  setSelectionBehavior(full_row_select ? QAbstractItemView::SelectRows
                                       : QAbstractItemView::SelectItems);
  setShowGrid(grid_lines);
}

int ReportList::AppendRow(const std::vector<std::string>& cells) {
  QSignalBlocker block(this);
  const int row = rowCount();
  insertRow(row);
  const int columns = std::min(columnCount(), static_cast<int>(cells.size()));
  for (int column = 0; column < columnCount(); ++column) {
    const QString text =
        column < columns ? QString::fromStdString(cells[static_cast<size_t>(column)]) : QString();
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    setItem(row, column, item);
  }
  return row;
}

std::string ReportList::CellText(int row, int column) const {
  const QTableWidgetItem* cell = item(row, column);
  return cell ? cell->text().toStdString() : std::string();
}

void ReportList::DeleteAllRows() {
  QSignalBlocker block(this);
  clearSelection();
  setRowCount(0);
}

void ReportList::mousePressEvent(QMouseEvent* event) {
  ending_double_click_ = false;
  QTableWidget::mousePressEvent(event);
}

void ReportList::mouseReleaseEvent(QMouseEvent* event) {
  QTableWidget::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton) return;
  // The release that ends a double click is not another click: the list reports the first
  // click of a double click and then the double click, nothing more.
  if (ending_double_click_) {
    ending_double_click_ = false;
    return;
  }
  if (on_click) on_click();
}

void ReportList::mouseDoubleClickEvent(QMouseEvent* event) {
  QTableWidget::mouseDoubleClickEvent(event);
  if (event->button() != Qt::LeftButton) return;
  ending_double_click_ = true;
  if (!on_double_click) return;
  const QModelIndex hit = indexAt(event->position().toPoint());
  on_double_click(hit.isValid() ? hit.row() : -1);
}

}  // namespace ardvix::platform::qt
