#include "app/intensity_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/program_folder.h"
#include "physics/model_file.h"

namespace tesral {

namespace {

constexpr std::string_view kUseKey = "use_intensities";
/** Sixteen lines of settings and a model never need more. */
constexpr qint64 kReadLimit = 1 << 20;

std::string_view trimmed(std::string_view line) {
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = line.find_last_not_of(" \t\r");
    return line.substr(first, last - first + 1);
}

/** Blank, or a comment only. */
bool isEmptyLine(std::string_view line) {
    const std::string_view text = trimmed(line);
    return text.empty() || text.front() == '#';
}

/** The value of a `use_intensities = true|false` line (a comment may follow). */
std::optional<bool> useValue(std::string_view line) {
    std::string_view text = trimmed(line);
    if (!text.starts_with(kUseKey)) return std::nullopt;
    text = trimmed(text.substr(kUseKey.size()));
    if (!text.starts_with('=')) return std::nullopt;
    text = trimmed(text.substr(1));
    if (const auto comment = text.find('#'); comment != std::string_view::npos)
        text = trimmed(text.substr(0, comment));
    if (text == "true") return true;
    if (text == "false") return false;
    return std::nullopt;
}

}  // namespace

std::string intensitySettingsText(const IntensitySettings& settings) {
    std::string text =
        "# Tesral: the window's intensity model (View > Intensity model) and its \"use "
        "intensities\" box.\n";
    text += std::string(kUseKey) + (settings.use ? " = true\n" : " = false\n");
    if (settings.model.sites.empty()) return text;
    text += '\n';
    text += physics::modelText(settings.model);
    return text;
}

IntensitySettingsLoad parseIntensitySettings(std::string_view text, const std::string& source) {
    IntensitySettings settings;
    std::string rest(text);
    bool modelLines = false;
    // Lines keep their numbers: the use line is blanked, not removed.
    std::size_t start = 0;
    bool keySeen = false;
    while (start < rest.size()) {
        std::size_t end = rest.find('\n', start);
        if (end == std::string::npos) end = rest.size();
        const std::string_view line(rest.data() + start, end - start);
        if (!isEmptyLine(line)) {
            const std::optional<bool> use = keySeen ? std::nullopt : useValue(line);
            if (use) {
                settings.use = *use;
                rest.replace(start, end - start, end - start, ' ');
            } else {
                modelLines = true;
            }
            keySeen = true;
        }
        start = end + 1;
    }
    if (modelLines) {
        physics::ModelLoad load = physics::parseModel(rest, source);
        if (!load.model) return {std::nullopt, load.error};
        settings.model = std::move(*load.model);
        settings.model.source.clear();
        for (physics::Site& site : settings.model.sites) site.line = 0;
    }
    return {settings, {}};
}

QString intensitySettingsFile() {
    return QFileInfo(configFile())
        .dir()
        .filePath(QString::fromLatin1(kIntensitySettingsFileName.data(),
                                      static_cast<int>(kIntensitySettingsFileName.size())));
}

std::optional<IntensitySettingsLoad> readIntensitySettings(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return std::nullopt;
    if (!info.isFile()) return IntensitySettingsLoad{std::nullopt, "not a regular file"};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return IntensitySettingsLoad{std::nullopt, file.errorString().toStdString()};
    const QByteArray bytes = file.read(kReadLimit);
    return parseIntensitySettings(std::string_view(bytes.constData(), bytes.size()),
                                  QDir::toNativeSeparators(path).toStdString());
}

}  // namespace tesral
