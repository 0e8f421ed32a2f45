#include "app/reflection_list_model.h"

#include <QFontMetrics>
#include <QSize>
#include <algorithm>

#include "app/window_session.h"
#include "report/report_head.h"

namespace tesral {

ReflectionListModel::ReflectionListModel(QObject* parent) : QAbstractListModel(parent) {}

void ReflectionListModel::show(const ReflectionTable& table, const RunHeader& header,
                               const ReportOptions& options) {
    beginResetModel();
    table_ = &table;
    options_ = options;
    head_ = reportHeadLines(table.size(), header, options);
    widestLine_ = 0;
    for (const std::string& line : head_)
        widestLine_ = std::max(widestLine_, static_cast<int>(line.size()));
    if (!table.empty()) {
        // Rows differ in length only by the row number, which is widest last.
        widestLine_ = std::max<int>(
            widestLine_, reportRow(static_cast<int>(table.size()), table.back(), options).size());
    }
    endResetModel();
}

void ReflectionListModel::follow(const WindowSession& session,
                                 std::function<ReportOptions(int)> options) {
    connect(&session, &WindowSession::aboutToChange, this, &ReflectionListModel::clear);
    connect(&session, &WindowSession::published, this, [this, &session, options] {
        const Session& rows = session.core();
        show(rows.table(), rows.result().header, options(rows.indexDimension()));
    });
}

void ReflectionListModel::clear() {
    beginResetModel();
    table_ = nullptr;
    head_.clear();
    widestLine_ = 0;
    endResetModel();
}

void ReflectionListModel::setFont(const QFont& font) {
    font_ = font;
    if (rowCount() > 0) emit dataChanged(index(0), index(rowCount() - 1), {Qt::SizeHintRole});
}

std::size_t ReflectionListModel::lineCount() const {
    return table_ ? head_.size() + table_->size() : 0;
}

std::string ReflectionListModel::lineText(std::size_t line) const {
    if (!table_ || line >= lineCount()) return {};
    if (line < head_.size()) return head_[line];
    const std::size_t row = line - head_.size();
    return reportRow(static_cast<int>(row + 1), (*table_)[row], options_);
}

std::optional<TextPlace> ReflectionListModel::find(std::string_view needle, TextPlace from,
                                                   const SearchProgress& progress) const {
    if (!table_) return std::nullopt;
    return findInReport(head_, *table_, options_, needle, from, progress);
}

int ReflectionListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return static_cast<int>(std::min<std::size_t>(lineCount(), INT_MAX));
}

QVariant ReflectionListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(lineText(static_cast<std::size_t>(index.row())));
    if (role == Qt::FontRole) return font_;
    if (role == Qt::SizeHintRole) {
        // Every line as wide as the widest, so the view scrolls sideways instead of cutting.
        const QFontMetrics metrics(font_);
        return QSize(metrics.horizontalAdvance(QLatin1Char('0')) * (widestLine_ + 2),
                     metrics.height());
    }
    return {};
}

}  // namespace tesral
