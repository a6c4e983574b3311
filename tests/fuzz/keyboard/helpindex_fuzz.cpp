// Any text where the help index should be: what a request gets is one word
// of a line that is no comment, or nothing.
#include "fuzzinput.h"
#include "helpindex.h"

using namespace morvaw;
using suite::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const HelpIndex index = HelpIndex::parse(
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const auto word = [](const QString& page) {
        return !page.contains(QLatin1Char('#')) && page.simplified() == page &&
               !page.contains(QLatin1Char(' '));
    };
    const QString contents = index.pageFor(HelpCommand::Contents, 0);
    require(word(contents) && word(index.pageFor(HelpCommand::HelpOnHelp, 0)),
            "the contents and the help on help are single words");
    for (const int context : {-1, 0, 1, 7, 99, 1000, 65535, 2147483647}) {
        const QString page = index.pageFor(HelpCommand::Context, context);
        require(word(page) && (page == contents || !page.isEmpty()),
                "a context has its page or the contents");
    }
    require(index.pageFor(HelpCommand::Quit, 0).isEmpty(), "quitting shows no page");
    return 0;
}
