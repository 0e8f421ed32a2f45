#pragma once

#include <QAbstractListModel>
#include <QFont>
#include <functional>
#include <string>
#include <vector>

#include "engine/reflection_table.h"
#include "report/report_search.h"
#include "report/report_writer.h"

namespace tesral {

class WindowSession;

/**
 * The report as a list of lines, formatted only when the view asks for them, so that a
 * report of millions of rows costs no memory beyond the table it reads. The table must
 * outlive the model's use of it: clear() before the table goes, which follow() does.
 */
class ReflectionListModel : public QAbstractListModel {
    Q_OBJECT

  public:
    explicit ReflectionListModel(QObject* parent = nullptr);

    /** Shows the report of `table` under `header`. */
    void show(const ReflectionTable& table, const RunHeader& header, const ReportOptions& options);
    /**
     * Shows each run `session` publishes, with the columns `options` gives for its index
     * dimension, and lets go of the rows before they change.
     */
    void follow(const WindowSession& session, std::function<ReportOptions(int)> options);
    /** Shows nothing. */
    void clear();
    /** The font lines are measured in (fixed width). */
    void setFont(const QFont& font);

    /** Line `line` of the report as the file holds it, without its line end. */
    std::string lineText(std::size_t line) const;
    std::size_t lineCount() const;
    /** The first match of `needle` at or after `from` in the lines, without building them all. */
    std::optional<TextPlace> find(std::string_view needle, TextPlace from,
                                  const SearchProgress& progress = {}) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    const ReflectionTable* table_ = nullptr;
    std::vector<std::string> head_;
    ReportOptions options_;
    QFont font_;
    int widestLine_ = 0;  // characters
};

}  // namespace tesral
