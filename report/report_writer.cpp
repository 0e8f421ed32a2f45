#include "report_writer.h"

#include "lattice/fixed_text.h"
#include "report/ordered_blocks.h"
#include "report/row_text.h"

namespace tesral {
namespace {

/** The lines above the rows. */
std::string reportHead(std::size_t rows, const RunHeader& header, const ReportOptions& options) {
    const std::string columnHeader = reportColumnHeader(options);
    const std::string rule = repeatText("-", static_cast<int>(columnHeader.size()));
    return "TESRAL REPORT - " + std::to_string(rows) + " reflections\r\n" + header.groupText +
           ", " + header.latticeText + "\r\n" + header.limitsText + "\r\n" +
           (header.modelText.empty() ? "" : header.modelText + "\r\n") +
           (header.strainText.empty() ? "" : header.strainText + "\r\n") + "\r\n" + rule + "\r\n" +
           columnHeader + "\r\n" + rule + "\r\n";
}

void appendReportRows(std::string& out, const ReflectionTable& table, std::size_t begin,
                      std::size_t end, const ReportOptions& options) {
    const ShownColumns columns(options.columns);
    for (std::size_t i = begin; i < end; ++i) {
        appendReportRow(out, i + 1, table[i], columns, options.decimalSeparator);
        out += "\r\n";
    }
}

}  // namespace

std::string reportColumnHeader(const ReportOptions& options) {
    std::string line = alignLeft("#", 5);
    for (const ColumnFormat& column : ShownColumns(options.columns))
        line += alignRight(std::string(columnHeading(column, options.convention)), column.width);
    return line;
}

void appendReportRow(std::string& out, std::size_t number, const ReflectionRecord& row,
                     const ShownColumns& columns, char decimalSeparator) {
    // A number wider than its field widens the field rather than losing digits.
    appendNumberLeft(out, number, 5);
    // The fields are written in place: one resize for the row, not one append per field.
    std::size_t width = 0;
    for (const ColumnFormat& column : columns) width += static_cast<std::size_t>(column.width);
    std::size_t at = out.size();
    out.resize(at + width);
    for (const ColumnFormat& column : columns)
        at += writeFixedRight(out.data() + at, columnValue(row, column), column.decimals,
                              decimalSeparator, column.width);
}

void appendReportRow(std::string& out, std::size_t number, const ReflectionRecord& row,
                     const ReportOptions& options) {
    appendReportRow(out, number, row, ShownColumns(options.columns), options.decimalSeparator);
}

std::string reportRow(int number, const ReflectionRecord& row, const ReportOptions& options) {
    std::string line;
    appendReportRow(line, static_cast<std::size_t>(number), row, options);
    return line;
}

void writeReport(std::ostream& out, const ReflectionTable& table, const RunHeader& header,
                 const ReportOptions& options) {
    out << reportHead(table.size(), header, options);
    std::string block;
    constexpr std::size_t kBlockRows = 8192;
    for (std::size_t begin = 0; begin < table.size(); begin += kBlockRows) {
        block.clear();
        appendReportRows(block, table, begin, std::min(table.size(), begin + kBlockRows), options);
        out << block;
    }
}

namespace {

/** Thrown by a block's formatter when the caller asked to stop. */
struct WriteStopped {};

/** writeReport that throws WriteStopped once `stop` (may be null) is true. */
bool writeReportUnlessStopped(SafeFile& file, const ReflectionTable& table, const RunHeader& header,
                              const ReportOptions& options, const std::atomic<bool>* stop,
                              const std::function<void(std::size_t)>& rowsFormatted = {}) {
    if (!file.write(reportHead(table.size(), header, options))) return false;
    return writeOrderedBlocks(file, table.size(),
                              [&](std::string& out, std::size_t begin, std::size_t end) {
                                  if (stop && stop->load(std::memory_order_relaxed))
                                      throw WriteStopped();
                                  appendReportRows(out, table, begin, end, options);
                                  if (rowsFormatted) rowsFormatted(end - begin);
                              });
}

}  // namespace

bool writeReport(SafeFile& file, const ReflectionTable& table, const RunHeader& header,
                 const ReportOptions& options) {
    return writeReportUnlessStopped(file, table, header, options, nullptr);
}

std::optional<std::string> writeReportFile(const std::string& path, const ReflectionTable& table,
                                           const RunHeader& header, const ReportOptions& options,
                                           const std::atomic<bool>* stop, SafeFile::Accept accept,
                                           const std::function<void(std::size_t)>& rowsFormatted) {
    SafeFile file;
    try {
        if (file.open(path, accept) &&
            writeReportUnlessStopped(file, table, header, options, stop, rowsFormatted) &&
            file.commit())
            return std::nullopt;
    } catch (const WriteStopped&) {
        return kWriteStoppedMessage;  // the old file stays; the temporary one goes
    }
    return file.error();
}

}  // namespace tesral
