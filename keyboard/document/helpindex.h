#pragma once

#include "helpadapter.h"

#include <QString>

#include <map>
#include <optional>
#include <vector>

namespace morvaw {

// The help file "MORVA.HLP": a short text that names, for each help request,
// the HTML page beside it that answers it. Lines are "contents <page>",
// "helponhelp <page>" or "<context number> <page>"; "#" starts a comment.
class HelpIndex
{
public:
    [[nodiscard]] static std::optional<HelpIndex> read(const QString& helpFile);
    [[nodiscard]] static HelpIndex parse(const QString& text);

    // Page (relative to the help file's folder) for a request; an unknown
    // context shows the contents. Empty when the index names no page for it.
    [[nodiscard]] QString pageFor(HelpCommand command, int context) const;
    // Every page the index names, once, in the order it first names them.
    [[nodiscard]] const std::vector<QString>& pages() const { return m_pages; }

private:
    std::vector<QString> m_pages;
    QString m_contents;
    QString m_helpOnHelp;
    std::map<int, QString> m_topics;
};

} // namespace morvaw
