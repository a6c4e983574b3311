#include "qtuserdialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QWidget>

namespace morvaw {

QtUserDialogs::QtUserDialogs(QWidget* parent) : m_parent(parent) {}

void QtUserDialogs::setParent(QWidget* parent)
{
    m_parent = parent;
}

void QtUserDialogs::inform(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

void QtUserDialogs::warn(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

void QtUserDialogs::critical(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

Answer QtUserDialogs::askYesNo(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    // Escape or the title bar's close button answers No.
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

Answer QtUserDialogs::askYesNoCancel(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Question, title, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

int QtUserDialogs::askChoice(const QString& text, const QString& title, const QStringList& buttons)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, m_parent);
    QList<QAbstractButton*> added;
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        const auto role = i == 0                    ? QMessageBox::AcceptRole
                          : i + 1 == buttons.size() ? QMessageBox::RejectRole
                                                    : QMessageBox::DestructiveRole;
        added << box.addButton(buttons[i], role);
    }
    if (added.isEmpty())
        return -1;
    box.setDefaultButton(qobject_cast<QPushButton*>(added.first()));
    box.setEscapeButton(added.last());
    box.exec();
    const qsizetype pressed = added.indexOf(box.clickedButton());
    return static_cast<int>(pressed < 0 ? added.size() - 1 : pressed);
}

std::optional<QString> QtUserDialogs::openFileName(const FileDialogSettings& settings)
{
    return runFileDialog(settings, false);
}

std::optional<QString> QtUserDialogs::saveFileName(const FileDialogSettings& settings)
{
    return runFileDialog(settings, true);
}

QStringList QtUserDialogs::QtNameFilters(const QString& filter)
{
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        description.remove(trailingPatterns);
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            if (p.trimmed() == QLatin1String("*.*"))
                p = QStringLiteral("*");
        }
        out << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
    }
    return out;
}

std::optional<QString> QtUserDialogs::runFileDialog(const FileDialogSettings& settings, bool save)
{
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The commands ask "File already exist. Overwrite?" themselves where they want it.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(QtNameFilters(settings.filter));
    dialog.setDefaultSuffix(settings.defaultExtension);
    dialog.setDirectory(m_lastFolder.isEmpty() ? QDir::currentPath() : m_lastFolder);
    // A wildcard as initial name is what the name filter already shows; a
    // path (the layout's own file) opens the dialog in its folder.
    if (QFileInfo initial(settings.initialName); initial.isAbsolute()) {
        dialog.setDirectory(initial.absolutePath());
        dialog.selectFile(initial.fileName());
    } else if (!settings.initialName.contains(QLatin1Char('*'))) {
        dialog.selectFile(settings.initialName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    if (chosen.contains(QLatin1Char('*')))
        return std::nullopt;
    m_lastFolder = QFileInfo(chosen).absolutePath();
    return chosen;
}

} // namespace morvaw
