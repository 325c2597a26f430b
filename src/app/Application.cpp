#include "Application.h"

#include <QMessageBox>

#include <exception>

namespace wellenschau {

QString ErrorMessage(const std::exception& error) {
    return QCoreApplication::translate("EWellenschauError", error.what());
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("Wellenschau");
    setApplicationVersion(WELLENSCHAU_VERSION);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowError(ErrorMessage(error));
    }
    return false;
}

void TApplication::SetErrorReporter(TErrorReporter reporter) { FErrorReporter = std::move(reporter); }

void TApplication::ShowError(const QString& message) {
    if (FErrorReporter) {
        FErrorReporter(message);
        return;
    }
    QMessageBox::critical(activeWindow(), "Wellenschau", message);
}

}  // namespace wellenschau
