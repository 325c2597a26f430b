#include "Application.h"
#include "MainWindow.h"
#include "audio/WaveInService.h"

#include <QScreen>

using namespace wellenschau;

int main(int argc, char* argv[]) {
    TApplication application(argc, argv);
    TForm1 Form1(DefaultWaveInService());
    // Centred on the screen when first shown.
    if (const QScreen* screen = Form1.screen())
        Form1.move(screen->availableGeometry().center() - Form1.rect().center());
    Form1.show();
    return application.exec();
}
