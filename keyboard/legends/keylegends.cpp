#include "keylegends.h"

#include "displaytext.h"
#include "keypictures.h"
#include "regularfile.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace morvaw {

namespace {

const QString kFormat = QStringLiteral("morvaw legends");
const QString kFormatKey = QStringLiteral("format");
const QString kSizeKey = QStringLiteral("sizeMm");
const QString kLegendsKey = QStringLiteral("legends");

// A legends file holds a few short texts; anything larger is not one.
constexpr qint64 kMaxFileSize = 1 << 20;

} // namespace

KeyLegends::KeyLegends(const LayoutRecordArray& records) : m_shape(records[Settings::KbdShape].PosX)
{
    for (int key = 1; key <= kKeyCount; ++key) {
        for (int level = 0; level < 3; ++level)
            m_levels[static_cast<std::size_t>(key)][static_cast<std::size_t>(level)] =
                ToDisplayText(
                    ReadableDefinition(records[static_cast<std::size_t>(key)].definition(level)));
    }
}

QString KeyLegends::legend(int key) const
{
    if (!isKey(key))
        return {};
    const auto& edited = m_edited[static_cast<std::size_t>(key)];
    return edited ? *edited : levelText(key, 0);
}

QString KeyLegends::levelText(int key, int level) const
{
    if (!isKey(key) || level < 0 || level > 2)
        return {};
    return m_levels[static_cast<std::size_t>(key)][static_cast<std::size_t>(level)];
}

bool KeyLegends::isEdited(int key) const
{
    return isKey(key) && m_edited[static_cast<std::size_t>(key)].has_value();
}

void KeyLegends::setLegend(int key, const QString& legend)
{
    if (!isKey(key))
        return;
    if (legend == levelText(key, 0))
        m_edited[static_cast<std::size_t>(key)].reset();
    else
        m_edited[static_cast<std::size_t>(key)] = legend;
}

void KeyLegends::resetLegend(int key)
{
    if (isKey(key))
        m_edited[static_cast<std::size_t>(key)].reset();
}

bool KeyLegends::setSizeMm(double sizeMm)
{
    if (!(sizeMm >= kMinSizeMm && sizeMm <= kMaxSizeMm))
        return false;
    m_sizeMm = sizeMm;
    return true;
}

std::filesystem::path KeyLegends::FileFor(const std::filesystem::path& layout)
{
    std::filesystem::path file = layout;
    file += ".legends";
    return file;
}

QByteArray KeyLegends::toText() const
{
    QJsonObject legends;
    for (int key = 1; key <= kKeyCount; ++key) {
        if (const auto& edited = m_edited[static_cast<std::size_t>(key)])
            legends[QString::number(key)] = *edited;
    }
    return QJsonDocument(
               QJsonObject{{kFormatKey, kFormat}, {kSizeKey, m_sizeMm}, {kLegendsKey, legends}})
        .toJson(QJsonDocument::Indented);
}

FileOutcome KeyLegends::readText(const QByteArray& text)
{
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &parse);
    if (parse.error != QJsonParseError::NoError)
        return FileOutcome::failed(QStringLiteral("line %1: %2")
                                       .arg(text.left(parse.offset).count('\n') + 1)
                                       .arg(parse.errorString()));
    const QJsonObject root = document.object();
    if (root.value(kFormatKey).toString() != kFormat)
        return FileOutcome::failed(QStringLiteral("expected \"format\": \"%1\"").arg(kFormat));
    // A size or legends of another kind (a size written "12") is no default.
    const QJsonValue sizeValue = root.value(kSizeKey);
    const double size = sizeValue.isUndefined() ? kDefaultSizeMm : sizeValue.toDouble(-1);
    if (!(size >= kMinSizeMm && size <= kMaxSizeMm))
        return FileOutcome::failed(QStringLiteral("expected \"%1\" from %2 to %3")
                                       .arg(kSizeKey)
                                       .arg(kMinSizeMm)
                                       .arg(kMaxSizeMm));
    std::array<std::optional<QString>, kKeyCount + 1> edited;
    const QJsonValue legendsValue = root.value(kLegendsKey);
    if (!legendsValue.isUndefined() && !legendsValue.isObject())
        return FileOutcome::failed(
            QStringLiteral("expected \"%1\" to hold key numbers and legends").arg(kLegendsKey));
    const QJsonObject legends = legendsValue.toObject();
    for (auto it = legends.begin(); it != legends.end(); ++it) {
        bool number = false;
        const int key = it.key().toInt(&number);
        // A lone surrogate (from a "\ud800" escape) could not be written back.
        if (!number || !isKey(key) || !it.value().isString() ||
            !it.value().toString().isValidUtf16())
            return FileOutcome::failed(
                QStringLiteral("\"%1\": expected a key number from 1 to %2 with its legend text")
                    .arg(it.key())
                    .arg(kKeyCount));
        edited[static_cast<std::size_t>(key)] = it.value().toString();
    }
    m_sizeMm = size;
    m_edited = edited;
    return {};
}

FileOutcome KeyLegends::load(const std::filesystem::path& path)
{
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        return {};
    const FileRead read = ReadRegularFile(path, kMaxFileSize);
    if (!read.outcome.ok)
        return read.outcome;
    return readText(read.bytes);
}

FileOutcome KeyLegends::CarryOver(const std::filesystem::path& formerLayout,
                                  const std::filesystem::path& layout)
{
    const std::filesystem::path from = FileFor(formerLayout);
    const std::filesystem::path to = FileFor(layout);
    std::error_code error;
    if (!std::filesystem::exists(from, error) || std::filesystem::equivalent(from, to, error))
        return {};
    // Copied as it is, even one that does not read: it is the user's to mend.
    const FileRead read = ReadRegularFile(from, kMaxFileSize);
    if (!read.outcome.ok)
        return read.outcome;
    if (read.size > read.bytes.size())
        return FileOutcome::failed(QStringLiteral("%1 is larger than a legends file can be.")
                                       .arg(ToQtPath(from.string())));
    return ReplaceFileContents(to, read.bytes);
}

FileOutcome KeyLegends::save(const std::filesystem::path& path) const
{
    std::error_code error;
    const bool anyEdited = std::any_of(m_edited.begin(), m_edited.end(),
                                       [](const auto& legend) { return legend.has_value(); });
    if (!anyEdited && m_sizeMm == kDefaultSizeMm && !std::filesystem::exists(path, error))
        return {};
    return ReplaceFileContents(path, toText());
}

} // namespace morvaw
