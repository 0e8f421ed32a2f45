#include "app/intensity_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/native_files.h"
#include "app/program_folder.h"
#include "physics/model_file.h"
#include "physics/model_file_guard.h"
#include "report/text_file.h"

namespace tesral {

namespace {

constexpr std::string_view kUseKey = "use_intensities";
constexpr std::string_view kBesideName = "Tesral-intensities.new.toml";

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

QString intensitySettingsBeside(const QString& path) {
    return QFileInfo(path).dir().filePath(
        QString::fromLatin1(kBesideName.data(), static_cast<int>(kBesideName.size())));
}

std::optional<IntensitySettingsLoad> readIntensitySettings(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) return std::nullopt;
    const auto kept = [&path](const std::string& why) {
        return IntensitySettingsLoad{
            std::nullopt,
            why + " (kept as it is; the window's settings go to " +
                QDir::toNativeSeparators(intensitySettingsBeside(path)).toStdString() + ")"};
    };
    const std::string native = QDir::toNativeSeparators(path).toStdString();
    std::string reason;
    const std::optional<std::string> bytes =
        readRegularFile(nativePath(path), physics::kLargestModelFile + 1, reason);
    if (!bytes) return kept(native + ": " + reason);
    if (bytes->size() > physics::kLargestModelFile)
        return kept(native + ": the file is larger than " +
                    std::to_string(physics::kLargestModelFile / 1000000) + " MB");
    IntensitySettingsLoad load = parseIntensitySettings(utf8Text(*bytes), native);
    if (!load.settings) return kept(load.error);
    return load;
}

std::optional<QString> writeIntensitySettings(const QString& path,
                                              const IntensitySettings& settings) {
    const std::optional<IntensitySettingsLoad> old = readIntensitySettings(path);
    const QString target = old && !old->settings ? intensitySettingsBeside(path) : path;
    return writeBytesSafely(target, intensitySettingsText(settings),
                            SafeFile::Accept::RegularFilesOnly);
}

}  // namespace tesral
