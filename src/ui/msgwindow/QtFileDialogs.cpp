#include "ui/msgwindow/QtFileDialogs.h"

#include <QFileDialog>

#include "ui/controls/Text.h"

namespace uimsgwindow {

QStringList NameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1];
        // "*.*" would ask for a dot in every name.
        pattern.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        QString caption = parts[i];
        caption.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        filters << (caption.contains(QLatin1Char('(')) ? caption : caption + " (" + pattern + ")");
    }
    return filters;
}

bool QtFileDialogs::ExecuteSave(platform::FileDialogState& dialog) {
    return Execute(dialog, true);
}

bool QtFileDialogs::ExecuteOpen(platform::FileDialogState& dialog) {
    return Execute(dialog, false);
}

bool QtFileDialogs::Execute(platform::FileDialogState& dialog, bool save) {
    QFileDialog box(m_parent);
    box.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    box.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = NameFilters(dialog.Filter);
    box.setNameFilters(filters);
    if (dialog.FilterIndex >= 1 && dialog.FilterIndex <= filters.size())
        box.selectNameFilter(filters[dialog.FilterIndex - 1]);
    if (!dialog.DefaultExt.empty())
        box.setDefaultSuffix(QString::fromStdString(dialog.DefaultExt));
    if (!m_defaultFolder.empty() && dialog.FileName.rfind('/', 0) != 0)
        box.setDirectory(uicontrols::ToQString(m_defaultFolder));
    if (!dialog.FileName.empty())
        box.selectFile(uicontrols::ToQString(dialog.FileName));
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return false;
    dialog.FileName = box.selectedFiles().front().toStdString();
    dialog.FilterIndex = static_cast<int>(filters.indexOf(box.selectedNameFilter())) + 1;
    return true;
}

}  // namespace uimsgwindow
