#include "helpindex.h"

#include "regularfile.h"

#include <QFile>
#include <QStringList>

#include <algorithm>

namespace morvaw {

std::optional<HelpIndex> HelpIndex::read(const QString& helpFile)
{
    // A help index is a few lines; a FIFO or device in its place is refused unread.
    constexpr qint64 kMaxIndexBytes = 1 << 20;
    const FileRead read =
        ReadRegularFile(QFile::encodeName(helpFile).toStdString(), kMaxIndexBytes);
    if (!read.outcome.ok)
        return std::nullopt;
    return parse(QString::fromUtf8(read.bytes));
}

HelpIndex HelpIndex::parse(const QString& text)
{
    HelpIndex index;
    for (QString line : text.split(QLatin1Char('\n'))) {
        const qsizetype hash = line.indexOf(QLatin1Char('#'));
        if (hash >= 0)
            line.truncate(hash);
        const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.size() != 2)
            continue;
        const QString& key = words[0];
        const QString& page = words[1];
        bool isNumber = false;
        const int context = key.toInt(&isNumber);
        if (isNumber)
            index.m_topics[context] = page;
        else if (key.compare(QLatin1String("contents"), Qt::CaseInsensitive) == 0)
            index.m_contents = page;
        else if (key.compare(QLatin1String("helponhelp"), Qt::CaseInsensitive) == 0)
            index.m_helpOnHelp = page;
        else
            continue;
        if (std::find(index.m_pages.begin(), index.m_pages.end(), page) == index.m_pages.end())
            index.m_pages.push_back(page);
    }
    return index;
}

QString HelpIndex::pageFor(HelpCommand command, int context) const
{
    switch (command) {
    case HelpCommand::Context: {
        const auto it = m_topics.find(context);
        return it != m_topics.end() ? it->second : m_contents;
    }
    case HelpCommand::Contents:
        return m_contents;
    case HelpCommand::HelpOnHelp:
        return m_helpOnHelp;
    case HelpCommand::Quit:
        break;
    }
    return {};
}

} // namespace morvaw
