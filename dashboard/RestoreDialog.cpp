#include "dashboard/RestoreDialog.h"

#include "controller/AppController.h"
#include "controller/Transfers.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

RestoreDialog::RestoreDialog(AppController* app, QWidget* parent)
    : QDialog(parent)
    , app_(app)
    , list_(new QListWidget(this))
{
    setWindowTitle(QCoreApplication::translate("Dashboard", "Restore from Backup"));
    auto* layout = new QVBoxLayout(this);
    auto* about =
        new QLabel(QCoreApplication::translate(
                       "Dashboard", "Notes deleted since come back into Recently Deleted. Notes "
                                    "changed since stay as they are."),
                   this);
    about->setWordWrap(true);
    layout->addWidget(about);
    layout->addWidget(list_);
    for (const Backups::Backup& backup : app->transfers().backups()) {
        const QString when = QLocale().toString(backup.made.toLocalTime(), QLocale::LongFormat);
        auto* item = new QListWidgetItem(
            QCoreApplication::translate("Dashboard", "%1 · Notes: %2").arg(when).arg(backup.notes),
            list_);
        item->setData(Qt::UserRole, backup.path);
    }
    if (list_->count() == 0) {
        list_->addItem(QCoreApplication::translate("Dashboard", "No backups yet"));
        list_->item(0)->setFlags(Qt::NoItemFlags);
    } else {
        list_->setCurrentRow(0);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    QPushButton* restore = buttons->addButton(QCoreApplication::translate("Dashboard", "Restore"),
                                              QDialogButtonBox::AcceptRole);
    restore->setEnabled(list_->currentItem() != nullptr);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &RestoreDialog::restoreChosen);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &RestoreDialog::restoreChosen);
    resize(440, 320);
}

void RestoreDialog::restoreChosen()
{
    const QListWidgetItem* item = list_->currentItem();
    if (item != nullptr && !item->data(Qt::UserRole).toString().isEmpty()) {
        app_->transfers().restoreFrom(item->data(Qt::UserRole).toString());
    }
    accept();
}
