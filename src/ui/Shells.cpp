#include "ui/Shells.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace ui {

namespace {

void AddCloseButtons(QDialog& dialog, QDialogButtonBox::StandardButtons buttons) {
    auto* layout = new QVBoxLayout(&dialog);
    auto* box = new QDialogButtonBox(buttons, &dialog);
    QObject::connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addStretch();
    layout->addWidget(box);
}

}  // namespace

ConfigDialogShell::ConfigDialogShell(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TConfig"));
    setWindowTitle(QStringLiteral("Vorla"));
    AddCloseButtons(*this, QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    resize(400, 300);
}

MessageWindowShell::MessageWindowShell(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TMsgList"));
    setWindowTitle(QStringLiteral("Vorla"));
    AddCloseButtons(*this, QDialogButtonBox::Close);
    resize(400, 250);
}

}  // namespace ui
