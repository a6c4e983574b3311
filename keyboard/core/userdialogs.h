#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace morvaw {

// The configurator's title: message boxes carry it unless they name another.
inline constexpr const char* kApplicationTitle = "MORVAW";

// Answer of a modal message box.
enum class Answer { Ok, Yes, No, Cancel };

// What a file dialog is opened with; the filter is "description|pattern|..."
// as the layout commands state it.
struct FileDialogSettings
{
    QString filter;
    QString defaultExtension;
    QString initialName;
};

// The message boxes and file dialogs of the configurator, behind one small
// interface so that tests answer them instead of a person.
class UserDialogs
{
public:
    virtual ~UserDialogs() = default;

    // An OK box that tells something.
    virtual void inform(const QString& text, const QString& title) = 0;
    // An OK box that reports a failure (with a warning icon).
    virtual void warn(const QString& text, const QString& title) = 0;
    // An OK box for a failure that ends what the user asked for (critical icon).
    virtual void critical(const QString& text, const QString& title) { warn(text, title); }
    // A Yes/No question: Answer::Yes or Answer::No.
    [[nodiscard]] virtual Answer askYesNo(const QString& text, const QString& title) = 0;
    // A Yes/No/Cancel question.
    [[nodiscard]] virtual Answer askYesNoCancel(const QString& text, const QString& title) = 0;
    // A question whose three buttons say what they do ("&Restore", ...): the
    // index of the one pressed; Escape and the close box press the last one.
    // Without buttons of their own, they are Yes, No and Cancel.
    [[nodiscard]] virtual int askChoice(const QString& text, const QString& title,
                                        const QStringList& buttons)
    {
        (void)buttons;
        const Answer answer = askYesNoCancel(text, title);
        return answer == Answer::Yes ? 0 : answer == Answer::No ? 1 : 2;
    }
    // The chosen file's path, or nullopt when the dialog was cancelled.
    [[nodiscard]] virtual std::optional<QString>
    openFileName(const FileDialogSettings& settings) = 0;
    [[nodiscard]] virtual std::optional<QString>
    saveFileName(const FileDialogSettings& settings) = 0;
};

} // namespace morvaw
