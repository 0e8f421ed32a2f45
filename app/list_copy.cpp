#include "app/list_copy.h"

#include <QFile>
#include <string>
#include <vector>

#include "plots/parallel_parts.h"
#include "report/clipboard_rows.h"
#include "report/safe_file.h"

namespace tesral {

namespace {

constexpr std::size_t kBlockRows = 8192;

}  // namespace

std::optional<CopiedList> copyListRows(const ReflectionTable& table, const ReportColumns& columns,
                                       char decimalSeparator, const QString& path,
                                       TaskProgress& progress) {
    // Formatting, then writing and converting, count once per row; the commit once.
    const std::size_t rows = table.size();
    progress.setTotal(2 * rows + 1);
    const int count = partsFor(rows, kBlockRows);
    std::vector<std::string> parts(static_cast<std::size_t>(count));
    const ShownColumns shown(columns);
    runParts(count, [&](int p) {
        std::string& out = parts[static_cast<std::size_t>(p)];
        const std::size_t end = rows * static_cast<std::size_t>(p + 1) / count;
        for (std::size_t b = rows * static_cast<std::size_t>(p) / count; b < end; b += kBlockRows) {
            if (progress.cancelled()) return;
            const std::size_t blockEnd = std::min(end, b + kBlockRows);
            for (std::size_t i = b; i < blockEnd; ++i)
                appendClipboardRow(out, i + 1, table[i], shown, decimalSeparator);
            progress.advance(blockEnd - b);
        }
    });
    if (progress.cancelled()) return std::nullopt;

    CopiedList copied;
    std::size_t bytes = 0;
    for (const std::string& part : parts) bytes += part.size();
    copied.text.reserve(static_cast<qsizetype>(bytes));
    SafeFile file;
    // A pipe or a device put in the place of the working file is reported, not written.
    bool written =
        file.open(QFile::encodeName(path).toStdString(), SafeFile::Accept::RegularFilesOnly);
    for (std::size_t p = 0; p < parts.size(); ++p) {
        if (progress.cancelled()) return std::nullopt;  // the file is not committed
        std::string& part = parts[p];
        written = written && file.write(part);
        copied.text.append(QLatin1StringView(part.data(), static_cast<qsizetype>(part.size())));
        progress.advance(rows * (p + 1) / parts.size() - rows * p / parts.size());
        std::string().swap(part);
    }
    if (progress.cancelled()) return std::nullopt;
    if (!(written && file.commit())) copied.writeError = QString::fromStdString(file.error());
    progress.advance();
    return copied;
}

}  // namespace tesral
