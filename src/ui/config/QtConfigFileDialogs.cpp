#include "ui/config/QtConfigFileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

#include "config/OpenDialog.h"

namespace uiconfig {

namespace {

QStringList QtFilters(const std::string& filter) {
    QStringList filters;
    for (const config::FilterPair& pair : config::FilterPairs(filter)) {
        const QString description = QString::fromStdString(pair.Description);
        // Qt reads the patterns from the parentheses of the description.
        filters << (description.contains('(')
                        ? description
                        : description + " (" + QString::fromStdString(pair.Pattern) + ")");
    }
    return filters;
}

}  // namespace

QString QtFilterList(const std::string& filter) {
    return QtFilters(filter).join(";;");
}

std::optional<std::string> QtConfigFileDialogs::OpenFile(const config::OpenRequest& request) {
    const QStringList filters = QtFilters(request.Filter);
    QString selected = filters.value(request.FilterIndex - 1);
    QString start = QString::fromStdString(request.InitialDir);
    if (!request.FileName.empty()) {
        start = QDir(start).filePath(QString::fromStdString(request.FileName));
    }
    const QString file =
        QFileDialog::getOpenFileName(m_parent, QString(), start, filters.join(";;"), &selected);
    if (file.isEmpty()) {
        return std::nullopt;
    }
    return file.toStdString();
}

std::optional<std::string> QtConfigFileDialogs::PickFolder(const std::string& caption) {
    const QString folder = QFileDialog::getExistingDirectory(
        m_parent, QString::fromStdString(caption), QDir::rootPath());
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return folder.toStdString();
}

}  // namespace uiconfig
