// Combo boxes whose items carry an enumeration's value, as the analyser
// view's panels offer their choices.
#pragma once

#include <QComboBox>

#include <initializer_list>
#include <utility>

namespace wellenschau {

// A combo box of (text, value) items.
inline QComboBox* Chooser(QWidget* parent, std::initializer_list<std::pair<QString, int>> items) {
    auto* chooser = new QComboBox(parent);
    for (const auto& [text, value] : items) chooser->addItem(text, value);
    return chooser;
}

// The chosen item's value as the enumeration T.
template <typename T>
T ChosenOf(const QComboBox* chooser) {
    return static_cast<T>(chooser->currentData().toInt());
}

}  // namespace wellenschau
