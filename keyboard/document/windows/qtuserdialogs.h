#pragma once

#include "userdialogs.h"

#include <QPointer>
#include <QStringList>

class QWidget;

namespace morvaw {

// Qt's message boxes and file dialogs, modal to the given window.
class QtUserDialogs : public UserDialogs
{
public:
    explicit QtUserDialogs(QWidget* parent = nullptr);

    void setParent(QWidget* parent);

    void inform(const QString& text, const QString& title) override;
    void warn(const QString& text, const QString& title) override;
    void critical(const QString& text, const QString& title) override;
    [[nodiscard]] Answer askYesNo(const QString& text, const QString& title) override;
    [[nodiscard]] Answer askYesNoCancel(const QString& text, const QString& title) override;
    [[nodiscard]] int askChoice(const QString& text, const QString& title,
                                const QStringList& buttons) override;
    [[nodiscard]] std::optional<QString> openFileName(const FileDialogSettings& settings) override;
    [[nodiscard]] std::optional<QString> saveFileName(const FileDialogSettings& settings) override;

    // "KBD layout files (*.KBD)|*.kbd|All files (*.*)|*.*" in Qt's form; "*.*" means
    // every file, also those without an extension.
    [[nodiscard]] static QStringList QtNameFilters(const QString& filter);

private:
    std::optional<QString> runFileDialog(const FileDialogSettings& settings, bool save);

    QPointer<QWidget> m_parent;
    QString m_lastFolder; // the next dialog opens where the last one ended
};

} // namespace morvaw
