#include "layouttext.h"

#include "definitiontext.h"
#include "displaytext.h"
#include "keypictures.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvaw {

namespace {

using RecordBytes = std::array<std::uint8_t, KeyRecord::kFileSize>;

const QString kFormat = QStringLiteral("morvaw layout");
constexpr int kVersion = 1;

// The fields of a record as the file lays them out.
struct Field
{
    const char* name;
    int offset;
    int size;
};
constexpr std::array<Field, 16> kFields{{
    {"PosY", 0, 1},
    {"PosX", 1, 1},
    {"KeyWord", 2, 2},
    {"Matrix", 4, 1},
    {"Spare", 5, 1},
    {"Label", 6, 4},
    {"Len0", 10, 1},
    {"Def0", 11, 60},
    {"Len1", 71, 1},
    {"Def1", 72, 60},
    {"Len2", 132, 1},
    {"Def2", 133, 60},
    {"Len3", 193, 1},
    {"Def3", 194, 60},
    {"RepeatFlags", 254, 1},
    {"Tail", 255, 19},
}};
static_assert(kFields.back().offset + kFields.back().size == KeyRecord::kFileSize);

// A key's three levels as the text form and the diff name them.
constexpr std::array<const char*, 3> kLevelNames = {"plain", "func1", "func2"};
constexpr std::array<const char*, 3> kLevelWords = {"plain", "Func1", "Func2"};

// The settings by name; each is a byte, some bits of one, or a definition
// of a settings record.
enum class Kind { Byte, Flag, KeyboardType, Shape, Language, Definition };
struct Setting
{
    const char* group;
    const char* name;
    const char* words;
    Kind kind;
    int record;
    std::uint8_t bits = 0;
};
constexpr std::array<Setting, 19> kSettings{{
    {"options", "keyboardType", "Keyboard type", Kind::KeyboardType, Settings::KbdFlags, 0x1C},
    {"options", "buzzer", "Buzzer", Kind::Flag, Settings::KbdFlags, 0x02},
    {"options", "programmedAsEnhanced", "Last programmed as an enhanced keyboard", Kind::Flag,
     Settings::KbdFlags, 0x80},
    {"options", "keypadShape", "Keypad shape", Kind::Shape, Settings::KbdShape},
    {"options", "macroPlayDelay", "Macro play delay", Kind::Byte, Settings::MacroPlayDelay},
    {"options", "delayKeyTime", "Delay key time", Kind::Byte, Settings::DelayKeyTime},
    {"options", "language", "Keyboard language", Kind::Language, Settings::KbdLanguage},
    {"msr", "checkSumMode", "MSR Send B/F+Checksum mode", Kind::Flag, Settings::KbdFlags, 0x01},
    {"msr", "dataPlayDelay", "MSR Data play delay", Kind::Byte, Settings::MsrOption1},
    {"msr", "readIsoTrack1", "MSR Read ISO Track 1", Kind::Flag, Settings::MsrOption2, 0x01},
    {"msr", "readIsoTrack2", "MSR Read ISO Track 2", Kind::Flag, Settings::MsrOption2, 0x02},
    {"msr", "readAamvaTrack1", "MSR Read AAMVA Track 1", Kind::Flag, Settings::MsrOption2, 0x04},
    {"msr", "readAamvaTrack2", "MSR Read AAMVA Track 2", Kind::Flag, Settings::MsrOption2, 0x08},
    {"msr", "sendSentinels", "MSR Send sentinels", Kind::Flag, Settings::MsrOption3, 0x02},
    {"msr", "forceLowerCase", "MSR Force lower case", Kind::Flag, Settings::MsrOption3, 0x04},
    {"msr", "headerKey", "MSR Header key", Kind::Definition, Settings::MsrHeader},
    {"msr", "separatorKey", "MSR Separator key", Kind::Definition, Settings::MsrSeparator},
    {"msr", "interTracksKey", "MSR Inter-tracks key", Kind::Definition, Settings::MsrInterTracks},
    {"msr", "trailerKey", "MSR Trailer key", Kind::Definition, Settings::MsrTrailer},
}};

constexpr std::array<const char*, 4> kKeyboardTypes = {"No macros", "Reduced", "Enhanced",
                                                       "Detect at transfer time"};
constexpr std::array<const char*, 2> kShapes = {"12 x 7", "14 x 6"};

QString languageName(int code)
{
    // " (USA)" without its frame.
    const std::string_view suffix = LanguageSuffix(code);
    return QString::fromLatin1(suffix.substr(2, suffix.size() - 3));
}

// --- Bytes and the text that shows them ---

QString shown(std::string_view bytes)
{
    return ToDisplayText(bytes);
}

std::optional<std::string> bytesOf(const QString& text)
{
    std::string bytes;
    for (QChar ch : text) {
        const int b = DisplayCharToByte(ch);
        if (b < 0)
            return std::nullopt;
        bytes.push_back(static_cast<char>(b));
    }
    return bytes;
}

std::string_view usedPart(const Definition& d)
{
    return d.Def.view().substr(0, std::min<std::size_t>(d.Len, KeyRecord::kDefWidth));
}

std::string framed(const std::vector<std::string>& tokens)
{
    std::string text(1, TokenMark);
    for (const std::string& t : tokens)
        text += t + TokenMark;
    return text;
}

// A definition as a list of its tokens, or as a text when it is not in token
// form (a function-shift word, a ">" key, bytes from elsewhere).
QJsonValue definitionValue(const Definition& d)
{
    const std::string_view used = usedPart(d);
    QJsonArray tokens;
    if (used.empty())
        return tokens;
    std::vector<std::string> pieces;
    std::size_t pos = 1;
    while (pos < used.size()) {
        const std::size_t end = std::min(used.find(TokenMark, pos), used.size());
        pieces.emplace_back(used.substr(pos, end - pos));
        pos = end + 1;
    }
    const bool tokenForm =
        !pieces.empty() &&
        std::none_of(pieces.begin(), pieces.end(), [](const auto& p) { return p.empty(); }) &&
        framed(pieces) == used;
    if (!tokenForm)
        return shown(used);
    for (const std::string& p : pieces)
        tokens.append(shown(p));
    return tokens;
}

QString quoted(const std::string& readable)
{
    return readable.empty() ? QStringLiteral("\u2014") : u'"' + shown(readable) + u'"';
}

// --- Reading the text form ---

class TextReader
{
public:
    bool fail(const QString& where, const QString& expected)
    {
        if (m_error.isEmpty())
            m_error = where + QStringLiteral(": ") + expected;
        return false;
    }
    [[nodiscard]] const QString& error() const { return m_error; }

    bool byteValue(const QJsonValue& v, const QString& where, std::uint8_t& out)
    {
        const double d = v.toDouble(-1);
        if (!v.isDouble() || d < 0 || d > 255 || d != static_cast<int>(d))
            return fail(where, QStringLiteral("expected a whole number from 0 to 255"));
        out = static_cast<std::uint8_t>(d);
        return true;
    }

    bool textBytes(const QJsonValue& v, const QString& where, std::string& out)
    {
        if (!v.isString())
            return fail(where, QStringLiteral("expected a text"));
        const auto bytes = bytesOf(v.toString());
        if (!bytes)
            return fail(where, QStringLiteral("expected characters that a layout can hold "
                                              "(Windows-1252 or the key name pictures)"));
        out = *bytes;
        return true;
    }

    bool definition(const QJsonValue& v, const QString& where, Definition& out)
    {
        std::string used;
        if (v.isArray()) {
            std::vector<std::string> tokens;
            const QJsonArray list = v.toArray();
            for (qsizetype i = 0; i < list.size(); ++i) {
                const QString at = QStringLiteral("%1[%2]").arg(where).arg(i);
                std::string token;
                if (!textBytes(list[i], at, token))
                    return false;
                if (token.empty() || token.find(TokenMark) != std::string::npos)
                    return fail(at, QStringLiteral("expected a token: not empty, without the "
                                                   "mark between tokens (\u2219)"));
                tokens.push_back(token);
            }
            if (!tokens.empty())
                used = framed(tokens);
        } else if (!v.isString() || !textBytes(v, where, used)) {
            return fail(where, QStringLiteral("expected a list of tokens or a text"));
        }
        if (used.size() > KeyRecord::kDefWidth)
            return fail(where, QStringLiteral("expected at most %1 characters with the marks "
                                              "between tokens; these take %2")
                                   .arg(KeyRecord::kDefWidth)
                                   .arg(used.size()));
        out.Len = static_cast<std::uint8_t>(used.size());
        out.Def.assign(used);
        return true;
    }

    template <std::size_t N>
    bool choice(const QJsonValue& v, const QString& where, const std::array<const char*, N>& names,
                int maxNumber, std::uint8_t& out)
    {
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (v.toString() == QLatin1String(names[i])) {
                out = static_cast<std::uint8_t>(i);
                return true;
            }
        }
        if (maxNumber > 0 && v.isDouble() && byteValue(v, where, out) && out <= maxNumber)
            return true;
        QStringList quotedNames;
        for (const char* n : names)
            quotedNames << u'"' + QLatin1String(n) + u'"';
        return fail(where,
                    QStringLiteral("expected one of %1%2")
                        .arg(quotedNames.join(QStringLiteral(", ")),
                             maxNumber > 0 ? QStringLiteral(" or a number up to %1").arg(maxNumber)
                                           : QString()));
    }

    bool onlyKnownNames(const QJsonObject& object, const QString& where, const QStringList& known)
    {
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (!known.contains(it.key()))
                return fail(where + u'.' + it.key(),
                            QStringLiteral("unknown name; expected one of %1")
                                .arg(known.join(QStringLiteral(", "))));
        }
        return true;
    }

private:
    QString m_error;
};

// --- The named values, both ways ---

QJsonValue settingValue(const Setting& s, const LayoutRecordArray& r)
{
    const KeyRecord& rec = r[static_cast<std::size_t>(s.record)];
    const std::uint8_t byte = rec.PosX;
    switch (s.kind) {
    case Kind::Byte:
        return byte;
    case Kind::Flag:
        return (byte & s.bits) != 0;
    case Kind::KeyboardType: {
        const int type = KeyboardType(byte);
        return type < 4 ? QJsonValue(QLatin1String(kKeyboardTypes[static_cast<std::size_t>(type)]))
                        : QJsonValue(type);
    }
    case Kind::Shape:
        return QLatin1String(kShapes[byte == 0 ? 0 : 1]);
    case Kind::Language:
        return byte <= Language::Switzerland ? QJsonValue(languageName(byte)) : QJsonValue(byte);
    case Kind::Definition:
        return definitionValue(rec.definition(0));
    }
    return {};
}

bool storeSetting(TextReader& in, const Setting& s, const QJsonValue& v, LayoutRecordArray& r)
{
    const QString where =
        QStringLiteral("%1.%2").arg(QLatin1String(s.group), QLatin1String(s.name));
    KeyRecord& rec = r[static_cast<std::size_t>(s.record)];
    std::uint8_t value = 0;
    switch (s.kind) {
    case Kind::Byte:
        return in.byteValue(v, where, rec.PosX);
    case Kind::Flag:
        if (!v.isBool())
            return in.fail(where, QStringLiteral("expected true or false"));
        rec.PosX = static_cast<std::uint8_t>(v.toBool() ? rec.PosX | s.bits : rec.PosX & ~s.bits);
        return true;
    case Kind::KeyboardType:
        if (!in.choice(v, where, kKeyboardTypes, 7, value))
            return false;
        rec.PosX = WithKeyboardType(rec.PosX, value);
        return true;
    case Kind::Shape:
        return in.choice(v, where, kShapes, 0, rec.PosX);
    case Kind::Language: {
        std::array<const char*, 8> names{};
        std::array<QByteArray, 8> latin;
        for (std::size_t i = 0; i < names.size(); ++i) {
            latin[i] = languageName(static_cast<int>(i)).toLatin1();
            names[i] = latin[i].constData();
        }
        return in.choice(v, where, names, 255, rec.PosX);
    }
    case Kind::Definition: {
        // A new layout's empty lines are NULs, which a written empty line is not.
        if (v == definitionValue(rec.definition(0)))
            return true;
        Definition d;
        if (!in.definition(v, where, d))
            return false;
        rec.setDefinition(0, d);
        return true;
    }
    }
    return false;
}

QString settingWords(const Setting& s, const LayoutRecordArray& r)
{
    if (s.kind == Kind::Definition)
        return quoted(ReadableDefinition(r[static_cast<std::size_t>(s.record)].definition(0)));
    const QJsonValue v = settingValue(s, r);
    if (v.isBool())
        return v.toBool() ? QStringLiteral("on") : QStringLiteral("off");
    return v.isString() ? v.toString() : QString::number(v.toInt());
}

QString labelText(const KeyRecord& key)
{
    return shown(TrimRight(key.Label.view()));
}

QString labelWords(const KeyRecord& key)
{
    return quoted(Trim(key.Label.view(), Padding::SpacesAndNuls));
}

QJsonArray repeatValue(std::uint8_t flags)
{
    QJsonArray levels;
    for (std::size_t level = 0; level < kLevelNames.size(); ++level) {
        if (flags & (1u << level))
            levels.append(QLatin1String(kLevelNames[level]));
    }
    return levels;
}

LayoutRecordArray baseline()
{
    LayoutRecordArray records{};
    NewLayout(records);
    return records;
}

// A key's entry, with only what differs from a key of a new layout.
QJsonObject keyEntry(const KeyRecord& key, const KeyRecord& plainKey)
{
    QJsonObject entry;
    for (int level = 0; level < 3; ++level) {
        const QJsonValue value = definitionValue(key.definition(level));
        if (value != definitionValue(plainKey.definition(level)))
            entry[QLatin1String(kLevelNames[static_cast<std::size_t>(level)])] = value;
    }
    if (const QJsonArray repeat = repeatValue(key.RepeatFlags); !repeat.isEmpty())
        entry[QStringLiteral("repeat")] = repeat;
    if (key.Label != plainKey.Label)
        entry[QStringLiteral("label")] = labelText(key);
    return entry;
}

bool storeKey(TextReader& in, const QJsonValue& value, const QString& where,
              LayoutRecordArray& records, std::array<bool, kKeyCount + 1>& seen)
{
    const QJsonObject entry = value.toObject();
    if (!value.isObject())
        return in.fail(where, QStringLiteral("expected an object with the key's number"));
    if (!in.onlyKnownNames(entry, where, {"key", "plain", "func1", "func2", "repeat", "label"}))
        return false;
    const double number = entry.value(QStringLiteral("key")).toDouble(-1);
    if (number < 1 || number > kKeyCount || number != static_cast<int>(number))
        return in.fail(where + QStringLiteral(".key"),
                       QStringLiteral("expected a key number from 1 to %1").arg(kKeyCount));
    const auto n = static_cast<std::size_t>(number);
    if (seen[n])
        return in.fail(where + QStringLiteral(".key"),
                       QStringLiteral("expected each key once; key %1 came before").arg(n));
    seen[n] = true;
    KeyRecord& key = records[n];
    for (int level = 0; level < 3; ++level) {
        const QString name = QLatin1String(kLevelNames[static_cast<std::size_t>(level)]);
        if (!entry.contains(name))
            continue;
        Definition d;
        if (!in.definition(entry[name], where + u'.' + name, d))
            return false;
        key.setDefinition(level, d);
    }
    if (entry.contains(QStringLiteral("repeat"))) {
        const QString at = where + QStringLiteral(".repeat");
        const QJsonValue repeat = entry[QStringLiteral("repeat")];
        if (!repeat.isArray())
            return in.fail(at,
                           QStringLiteral("expected a list of \"plain\", \"func1\", \"func2\""));
        key.RepeatFlags = 0;
        for (const QJsonValue& level : repeat.toArray()) {
            std::uint8_t bit = 0;
            if (!in.choice(level, at, kLevelNames, 0, bit))
                return false;
            key.RepeatFlags |= static_cast<std::uint8_t>(1u << bit);
        }
    }
    if (entry.contains(QStringLiteral("label"))) {
        const QString at = where + QStringLiteral(".label");
        std::string label;
        if (!in.textBytes(entry[QStringLiteral("label")], at, label))
            return false;
        if (label.size() > key.Label.size())
            return in.fail(at, QStringLiteral("expected at most 4 characters"));
        key.Label.assign(label);
    }
    return true;
}

// The readable parts of a text form into records.
bool storeReadable(TextReader& in, const QJsonObject& root, LayoutRecordArray& records)
{
    const auto& settings = kSettings;
    for (const char* group : {"options", "msr"}) {
        const QString name = QLatin1String(group);
        if (!root.contains(name))
            continue;
        if (!root[name].isObject())
            return in.fail(name, QStringLiteral("expected an object of named settings"));
        const QJsonObject values = root[name].toObject();
        QStringList known;
        for (const Setting& s : settings) {
            if (name == QLatin1String(s.group))
                known << QLatin1String(s.name);
        }
        if (!in.onlyKnownNames(values, name, known))
            return false;
        for (const Setting& s : settings) {
            const QString key = QLatin1String(s.name);
            if (name == QLatin1String(s.group) && values.contains(key) &&
                !storeSetting(in, s, values[key], records))
                return false;
        }
    }
    const QJsonValue keys = root.value(QStringLiteral("keys"));
    if (keys.isUndefined())
        return true;
    if (!keys.isArray())
        return in.fail(QStringLiteral("keys"), QStringLiteral("expected a list of keys"));
    std::array<bool, kKeyCount + 1> seen{};
    const QJsonArray list = keys.toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (!storeKey(in, list[i], QStringLiteral("keys[%1]").arg(i), records, seen))
            return false;
    }
    return true;
}

// The bytes in which `to` differs from `from`, a run of them a line.
QJsonArray byteRuns(const LayoutRecordArray& from, const LayoutRecordArray& to)
{
    QJsonArray runs;
    for (int n = 1; n <= kLastRecord; ++n) {
        const RecordBytes a = from[static_cast<std::size_t>(n)].toBytes();
        const RecordBytes b = to[static_cast<std::size_t>(n)].toBytes();
        for (const Field& f : kFields) {
            for (int i = 0; i < f.size;) {
                const auto at = static_cast<std::size_t>(f.offset + i);
                if (a[at] == b[at]) {
                    ++i;
                    continue;
                }
                int end = i;
                while (end < f.size && a[static_cast<std::size_t>(f.offset + end)] !=
                                           b[static_cast<std::size_t>(f.offset + end)])
                    ++end;
                const QByteArray hex =
                    QByteArray(reinterpret_cast<const char*>(b.data()) + f.offset + i, end - i)
                        .toHex();
                runs.append(QJsonObject{{QStringLiteral("record"), n},
                                        {QStringLiteral("field"), QLatin1String(f.name)},
                                        {QStringLiteral("offset"), i},
                                        {QStringLiteral("hex"), QString::fromLatin1(hex)}});
                i = end;
            }
        }
    }
    return runs;
}

bool storeByteRuns(TextReader& in, const QJsonValue& value, LayoutRecordArray& records)
{
    if (value.isUndefined())
        return true;
    if (!value.isArray())
        return in.fail(QStringLiteral("unusedBytes"), QStringLiteral("expected a list"));
    const QJsonArray runs = value.toArray();
    for (qsizetype i = 0; i < runs.size(); ++i) {
        const QString where = QStringLiteral("unusedBytes[%1]").arg(i);
        const QJsonObject run = runs[i].toObject();
        if (!runs[i].isObject() ||
            !in.onlyKnownNames(run, where, {"record", "field", "offset", "hex"}))
            return in.fail(where, QStringLiteral("expected record, field, offset and hex"));
        const double record = run[QStringLiteral("record")].toDouble(-1);
        if (record < 1 || record > kLastRecord || record != static_cast<int>(record))
            return in.fail(where + QStringLiteral(".record"),
                           QStringLiteral("expected a record number from 1 to 100"));
        const QString name = run[QStringLiteral("field")].toString();
        const auto field = std::find_if(kFields.begin(), kFields.end(), [&](const Field& f) {
            return name == QLatin1String(f.name);
        });
        if (field == kFields.end())
            return in.fail(where + QStringLiteral(".field"),
                           QStringLiteral("expected the name of a record's field (PosY to Tail)"));
        const QString hexText = run[QStringLiteral("hex")].toString();
        const QByteArray hex = hexText.toLatin1();
        const QByteArray bytes = QByteArray::fromHex(hex);
        const bool hexOk =
            hex.size() % 2 == 0 && bytes.size() * 2 == hex.size() &&
            std::all_of(hex.begin(), hex.end(), [](char c) { return std::isxdigit(c) != 0; });
        if (!hexOk || bytes.isEmpty())
            return in.fail(where + QStringLiteral(".hex"),
                           QStringLiteral("expected pairs of hexadecimal digits"));
        const double offset = run[QStringLiteral("offset")].toDouble(-1);
        if (offset < 0 || offset != static_cast<int>(offset) ||
            static_cast<int>(offset) + bytes.size() > field->size)
            return in.fail(where + QStringLiteral(".offset"),
                           QStringLiteral("expected the bytes to lie within %1, which has %2")
                               .arg(name)
                               .arg(field->size));
        KeyRecord& target = records[static_cast<std::size_t>(record)];
        RecordBytes b = target.toBytes();
        std::copy(bytes.begin(), bytes.end(), b.begin() + field->offset + static_cast<int>(offset));
        target = KeyRecord::fromBytes(b);
    }
    return true;
}

QString syntaxExpectation(QJsonParseError::ParseError error)
{
    switch (error) {
    case QJsonParseError::UnterminatedObject:
        return QStringLiteral("expected ',' or '}' after a value in an object");
    case QJsonParseError::MissingNameSeparator:
        return QStringLiteral("expected ':' after a name");
    case QJsonParseError::UnterminatedArray:
    case QJsonParseError::MissingValueSeparator:
        return QStringLiteral("expected ',' or ']' after a value in a list");
    case QJsonParseError::IllegalValue:
        return QStringLiteral(
            "expected a value: \"text\", a number, true, false, null, {...} or [...]");
    case QJsonParseError::TerminationByNumber:
    case QJsonParseError::IllegalNumber:
        return QStringLiteral("expected a number");
    case QJsonParseError::IllegalEscapeSequence:
        return QStringLiteral("expected an escape such as \\\" or \\u00e9 after a backslash");
    case QJsonParseError::IllegalUTF8String:
        return QStringLiteral("expected UTF-8 text");
    case QJsonParseError::UnterminatedString:
        return QStringLiteral("expected '\"' to end a text");
    case QJsonParseError::MissingObject:
        return QStringLiteral("expected a name in quotes after ','");
    case QJsonParseError::GarbageAtEnd:
        return QStringLiteral("expected nothing after the layout's closing '}'");
    default:
        return QStringLiteral("expected JSON (%1)").arg(QJsonParseError{0, error}.errorString());
    }
}

// --- Printing: arrays of plain values on one line, members in a fixed order ---

int memberRank(const QString& name)
{
    static const QStringList order = [] {
        QStringList names = {"format", "version", "options", "msr",    "keys",  "key",
                             "plain",  "func1",   "func2",   "repeat", "label", "unusedBytes",
                             "record", "field",   "offset",  "hex"};
        for (const Setting& s : kSettings)
            names << QLatin1String(s.name);
        return names;
    }();
    const auto rank = order.indexOf(name);
    return rank < 0 ? static_cast<int>(order.size()) : static_cast<int>(rank);
}

bool isPlain(const QJsonValue& v)
{
    return !v.isArray() && !v.isObject();
}

QByteArray plainText(const QJsonValue& v)
{
    const QByteArray wrapped = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
    return wrapped.mid(1, wrapped.size() - 2);
}

void print(QByteArray& out, const QJsonValue& v, int depth, bool inList)
{
    const QByteArray indent(2 * (depth + 1), ' ');
    const QByteArray closing(2 * depth, ' ');
    if (v.isArray()) {
        const QJsonArray list = v.toArray();
        const bool oneLine =
            std::all_of(list.begin(), list.end(), [](const QJsonValue& e) { return isPlain(e); });
        out += '[';
        for (qsizetype i = 0; i < list.size(); ++i) {
            out += i == 0 ? "" : ",";
            if (oneLine) {
                out += i == 0 ? "" : " ";
            } else {
                out += '\n' + indent;
            }
            print(out, list[i], depth + 1, true);
        }
        out += (oneLine || list.isEmpty()) ? QByteArray("]") : '\n' + closing + ']';
    } else if (v.isObject()) {
        const QJsonObject object = v.toObject();
        QStringList names = object.keys();
        std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
            return memberRank(a) < memberRank(b);
        });
        const bool oneLine = inList && std::all_of(object.begin(), object.end(),
                                                   [](const QJsonValue& e) { return isPlain(e); });
        out += '{';
        for (qsizetype i = 0; i < names.size(); ++i) {
            out += i == 0 ? "" : ",";
            out += oneLine ? QByteArray(i == 0 ? "" : " ") : '\n' + indent;
            out += plainText(names[i]) + ": ";
            print(out, object[names[i]], depth + 1, false);
        }
        out += oneLine ? QByteArray("}") : '\n' + closing + '}';
    } else {
        out += plainText(v);
    }
}

} // namespace

QByteArray LayoutToText(const LayoutRecordArray& records)
{
    const LayoutRecordArray plain = baseline();
    QJsonObject root{{QStringLiteral("format"), kFormat}, {QStringLiteral("version"), kVersion}};
    QJsonObject groups[2];
    for (const Setting& s : kSettings)
        groups[QLatin1String(s.group) == QLatin1String("msr") ? 1 : 0][QLatin1String(s.name)] =
            settingValue(s, records);
    root[QStringLiteral("options")] = groups[0];
    root[QStringLiteral("msr")] = groups[1];
    QJsonArray keys;
    for (int n = kFirstKeyRecord; n <= kKeyCount; ++n) {
        QJsonObject entry =
            keyEntry(records[static_cast<std::size_t>(n)], plain[static_cast<std::size_t>(n)]);
        if (entry.isEmpty())
            continue;
        entry[QStringLiteral("key")] = n;
        keys.append(entry);
    }
    root[QStringLiteral("keys")] = keys;

    // What the names above give back, and the bytes in which it falls short.
    LayoutRecordArray named = plain;
    TextReader in;
    (void)storeReadable(in, root, named);
    if (const QJsonArray runs = byteRuns(named, records); !runs.isEmpty())
        root[QStringLiteral("unusedBytes")] = runs;

    QByteArray out;
    print(out, root, 0, false);
    return out + '\n';
}

LayoutTextRead LayoutFromText(const QByteArray& text)
{
    LayoutTextRead read;
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &parse);
    if (parse.error != QJsonParseError::NoError) {
        // Qt reports these past the character it read instead of the one expected.
        const bool pastIt = parse.error == QJsonParseError::UnterminatedObject ||
                            parse.error == QJsonParseError::MissingNameSeparator ||
                            parse.error == QJsonParseError::UnterminatedArray ||
                            parse.error == QJsonParseError::MissingValueSeparator ||
                            parse.error == QJsonParseError::MissingObject;
        const QByteArray before = text.left(std::max(0, parse.offset - (pastIt ? 1 : 0)));
        const auto line = before.count('\n') + 1;
        const auto column = before.size() - (before.lastIndexOf('\n') + 1) + 1;
        read.error = QStringLiteral("line %1, column %2: %3")
                         .arg(line)
                         .arg(column)
                         .arg(syntaxExpectation(parse.error));
        return read;
    }
    if (!document.isObject()) {
        read.error = QStringLiteral("line 1: expected '{' to begin the layout");
        return read;
    }
    const QJsonObject root = document.object();
    TextReader in;
    if (root.value(QStringLiteral("format")).toString() != kFormat ||
        root.value(QStringLiteral("version")).toInt() != kVersion) {
        read.error = QStringLiteral("expected \"format\": \"%1\" and \"version\": %2 (a layout "
                                    "that morvaw --export wrote)")
                         .arg(kFormat)
                         .arg(kVersion);
        return read;
    }
    LayoutRecordArray records = baseline();
    if (in.onlyKnownNames(root, QStringLiteral("layout"),
                          {"format", "version", "options", "msr", "keys", "unusedBytes"}) &&
        storeReadable(in, root, records) &&
        storeByteRuns(in, root.value(QStringLiteral("unusedBytes")), records)) {
        read.records = records;
    }
    read.error = in.error();
    return read;
}

QStringList LayoutDifferences(const LayoutRecordArray& before, const LayoutRecordArray& after)
{
    QStringList lines;
    // Named values of `after`, written over `before`: what is left over differs in bytes only.
    LayoutRecordArray named = before;
    TextReader ignored;
    auto change = [&](const QString& what, const QString& was, const QString& is) {
        lines << (was == is ? QStringLiteral("%1: the same in words, other bytes").arg(what)
                            : QStringLiteral("%1: %2 -> %3").arg(what, was, is));
    };
    for (int n = kFirstKeyRecord; n <= kKeyCount; ++n) {
        const KeyRecord& a = before[static_cast<std::size_t>(n)];
        const KeyRecord& b = after[static_cast<std::size_t>(n)];
        KeyRecord& c = named[static_cast<std::size_t>(n)];
        for (int level = 0; level < 3; ++level) {
            const QString what =
                QStringLiteral("Key %1, %2")
                    .arg(n)
                    .arg(QLatin1String(kLevelWords[static_cast<std::size_t>(level)]));
            if (definitionValue(a.definition(level)) != definitionValue(b.definition(level))) {
                change(what, quoted(ReadableDefinition(a.definition(level))),
                       quoted(ReadableDefinition(b.definition(level))));
                c.setDefinition(level, b.definition(level));
            }
            const std::uint8_t bit = static_cast<std::uint8_t>(1u << level);
            if ((a.RepeatFlags & bit) != (b.RepeatFlags & bit))
                change(what + QStringLiteral(" repeat"),
                       a.RepeatFlags & bit ? QStringLiteral("on") : QStringLiteral("off"),
                       b.RepeatFlags & bit ? QStringLiteral("on") : QStringLiteral("off"));
        }
        c.RepeatFlags = static_cast<std::uint8_t>((c.RepeatFlags & ~7) | (b.RepeatFlags & 7));
        if (a.Label != b.Label) {
            change(QStringLiteral("Key %1, label").arg(n), labelWords(a), labelWords(b));
            c.Label = b.Label;
        }
    }
    for (const Setting& s : kSettings) {
        if (settingValue(s, before) == settingValue(s, after))
            continue;
        change(QLatin1String(s.words), settingWords(s, before), settingWords(s, after));
        (void)storeSetting(ignored, s, settingValue(s, after), named);
    }
    // Bytes that differ and that no named value above accounts for.
    for (int n = 1; n <= kLastRecord; ++n) {
        const RecordBytes a = before[static_cast<std::size_t>(n)].toBytes();
        const RecordBytes b = after[static_cast<std::size_t>(n)].toBytes();
        const RecordBytes c = named[static_cast<std::size_t>(n)].toBytes();
        QStringList fields;
        for (const Field& f : kFields) {
            for (int i = f.offset; i < f.offset + f.size; ++i) {
                const auto at = static_cast<std::size_t>(i);
                if (a[at] != b[at] && c[at] != b[at]) {
                    fields << QLatin1String(f.name);
                    break;
                }
            }
        }
        if (fields.isEmpty())
            continue;
        const QString what =
            n <= kKeyCount ? QStringLiteral("Key %1").arg(n) : QStringLiteral("Record %1").arg(n);
        lines << QStringLiteral("%1: other bytes differ (%2)")
                     .arg(what, fields.join(QStringLiteral(", ")));
    }
    return lines;
}

} // namespace morvaw
