#include "kbviewer/KbServices.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

namespace {

TKbServices DesktopServices() {
    TKbServices services;
    services.ShowMessage = [](QWidget* parent, const QString& caption, const QString& text,
                              bool error) {
        if (error)
            QMessageBox::critical(parent, caption, text);
        else
            QMessageBox::information(parent, caption, text);
    };
    services.RunPrintDialog = [](QPrinter& printer, QWidget* parent) {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    };
    services.OpenUrl = [](const QUrl& address) { return QDesktopServices::openUrl(address); };
    return services;
}

} // namespace

TKbServices& KbServices() {
    static TKbServices services = DesktopServices();
    return services;
}

void ResetKbServices() {
    KbServices() = DesktopServices();
}
