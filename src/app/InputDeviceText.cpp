#include "InputDeviceText.h"

#include <QCoreApplication>

namespace wellenschau {

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("InputDeviceText", text); }

}  // namespace

QString DeviceDescription(const TInputDeviceInfo& device) {
    const QString description = QString::fromStdString(device.Description.empty() ? device.Name : device.Description);
    return device.IsMonitor ? Tr("Monitor von %1").arg(description) : description;
}

QString DeviceListLine(const TInputDeviceInfo& device) {
    const QString name = QString::fromStdString(device.Name);
    QString line = QString("%1\t%2").arg(device.Number).arg(name);
    if (const QString description = DeviceDescription(device); description != name) line += '\t' + description;
    if (device.IsDefault) line += "\t(Standard)";
    return line;
}

QString DeviceListText(const std::vector<TInputDeviceInfo>& devices) {
    if (devices.empty()) return QString::fromStdString(NoInputDevicesText()) + '\n';
    QString text;
    for (const TInputDeviceInfo& device : devices) text += DeviceListLine(device) + '\n';
    return text;
}

}  // namespace wellenschau
