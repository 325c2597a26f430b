#include "InputDeviceText.h"

#include <QCoreApplication>

namespace wellenschau {

namespace {

// The translation context of this file's texts.
struct TDeviceLineText {
    Q_DECLARE_TR_FUNCTIONS(TDeviceLineText)
};

}  // namespace

QString DeviceDescription(const TInputDeviceInfo& device) {
    const QString description = QString::fromStdString(device.Description.empty() ? device.Name : device.Description);
    return device.IsMonitor ? TDeviceLineText::tr("Monitor von %1").arg(description) : description;
}

QString DeviceListLine(const TInputDeviceInfo& device) {
    const QString name = QString::fromStdString(device.Name);
    QString line = QString("%1\t%2").arg(device.Number).arg(name);
    if (const QString description = DeviceDescription(device); description != name) line += '\t' + description;
    if (device.IsDefault) line += TDeviceLineText::tr("\t(Standard)");
    return line;
}

QString DeviceListText(const std::vector<TInputDeviceInfo>& devices) {
    if (devices.empty()) return QString::fromStdString(NoInputDevicesText()) + '\n';
    QString text;
    for (const TInputDeviceInfo& device : devices) text += DeviceListLine(device) + '\n';
    return text;
}

}  // namespace wellenschau
