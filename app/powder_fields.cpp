#include "app/powder_fields.h"

#include <QLineEdit>
#include <QStringList>
#include <cmath>

namespace tesral::powder_fields {

std::optional<std::vector<double>> numbers(const QString& text, QChar separator, int count) {
    const QStringList parts = text.split(separator);
    if (parts.size() != count) return std::nullopt;
    std::vector<double> out;
    for (const QString& part : parts) {
        bool ok = false;
        const double v = part.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v)) return std::nullopt;
        out.push_back(v);
    }
    return out;
}

std::optional<double> numberOr(const QLineEdit* field, double empty) {
    const QString text = field->text().trimmed();
    if (text.isEmpty()) return empty;
    const auto v = numbers(text, QLatin1Char(','), 1);
    return v ? std::optional<double>((*v)[0]) : std::nullopt;
}

QLineEdit* field(const char* name, const QString& text, int width) {
    auto* edit = new QLineEdit(text);
    edit->setObjectName(QLatin1String(name));
    edit->setMinimumWidth(width / 2);
    edit->setMaximumWidth(width);
    return edit;
}

QString approximantName(const RunParameters& parameters) {
    if (!parameters.approximant) return {};
    return QStringLiteral("approximant ") +
           QString::fromStdString(approximantText(*parameters.approximant));
}

QString patternTitle(const physics::PowderResult& result) {
    const RunParameters& p = result.run.parameters;
    QString title = QString::fromLatin1(systemName(p.system)) +
                    QStringLiteral(", a = %1 \u00c5").arg(p.a, 0, 'g', 7);
    if (result.run.indexDimension == 5)
        title += QStringLiteral(", c = %1 \u00c5").arg(p.c, 0, 'g', 7);
    if (p.approximant) title += QStringLiteral(", ") + approximantName(p);
    title += QStringLiteral(", ") +
             QString::fromStdString(physics::radiationText(result.model.radiation, p.wavelength));
    if (result.request.zero != 0.0)
        title += QStringLiteral(", zero shift %1\u00b0").arg(result.request.zero, 0, 'g', 5);
    return title;
}

}  // namespace tesral::powder_fields
