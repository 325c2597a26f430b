// The application object: Qt's application with the program's default
// error handler. An error that ends an event handler is shown as a message
// box titled "Wellenschau" and the program goes on in its state.
// User-interface thread only.
#pragma once

#include <QApplication>
#include <QString>

#include <exception>
#include <functional>

namespace wellenschau {

// The message of an error in the program's language; the fixed messages of
// errors raised where Qt is not at hand are translated here.
QString ErrorMessage(const std::exception& error);

class TApplication : public QApplication {
public:
    // Shows or records the message of an error that ended a handler.
    using TErrorReporter = std::function<void(const QString& message)>;

    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Replaces the message box, so that tests do not block on it.
    void SetErrorReporter(TErrorReporter reporter);
    // The reporter in place; empty for the message box.
    const TErrorReporter& ErrorReporter() const { return FErrorReporter; }

    // The error handler itself: what happens to an error's message.
    void ShowError(const QString& message);

private:
    TErrorReporter FErrorReporter;
};

}  // namespace wellenschau
